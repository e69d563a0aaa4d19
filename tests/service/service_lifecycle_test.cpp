// The real program's life: the running query, the stop request and the orderly shutdown it
// starts, a second start, and a service without its player engine.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

#include "byte_stream.h"
#include "download_server.h"
#include "msg_ids.h"
#include "p2p_protocol.h"
#include "player_protocol.h"
#include "service_fixture.h"

namespace svctest {
namespace {

const std::string kOne(1, '\x01');

TEST_F(ServiceTest, RunningQueryIsAnsweredWithOneByteOneAndOtherChannelsWithNothing) {
    pid_t pid = StartAnswering(InstalledProgram());
    ASSERT_GT(pid, 0);

    struct Case {
        int channel;
        std::string payload;
        bool replied;
    };
    const Case cases[] = {
        {CHANNEL_QUERY_RUNNING, "", true},
        {CHANNEL_QUERY_RUNNING, "payload that is not read", true},
        {0, "", false},
        {5, "\x01\x00\x00\x00", false},
        {-1, "", false},
    };
    for (const Case& c : cases) {
        Reply reply = endpoint_.Call(c.channel, c.payload);
        EXPECT_EQ(reply.result, 0) << "channel " << c.channel;
        EXPECT_EQ(reply.replied, c.replied) << "channel " << c.channel;
        if (c.replied) {
            EXPECT_EQ(reply.bytes, kOne) << "channel " << c.channel;
        }
    }
    EXPECT_TRUE(processes_.Running(pid));
    EXPECT_TRUE(Answering());
}

// The stop request is answered, then the program stops the download engine (the running
// download's partial file is removed, and it reports nothing more), releases its endpoint,
// deletes the player-core stub last (the engine's UnInit sees neither the endpoint nor a
// partial file, and what it raises is not sent), frees the engine and exits with 0.
TEST_F(ServiceTest, StopRequestShutsDownInOrderAndExitsWithZero) {
    DownloadServer server;
    ASSERT_TRUE(server.Listening());
    pid_t pid = StartAnswering(Install(Engine::kRecording));
    ASSERT_GT(pid, 0);

    // The engine's notifications reach the test while the service runs.
    Reply play = endpoint_.Call(CHANNEL_PLAYER, Bytes([] {
                                    CStreamWriter w;
                                    w.WriteInt(PLAYER_CMD_PLAY);
                                    return w;
                                }()));
    EXPECT_EQ(play.bytes, std::string(4, '\0'));
    EXPECT_TRUE(endpoint_.WaitFor(
        [](const auto& m) { return CountOf(m, CHANNEL_PLAYER, PLAYER_NOTIFY_PLAY_START) == 1; },
        kStartMs));

    // A download that stays under way until the shutdown.
    CStreamWriter start;
    start.WriteStartDown(P2P_CMD_START_DOWN, Sign(7, 8), server.Url("/hold").c_str(), 1, 2, 3, 0,
                         0);
    Reply accepted = endpoint_.Call(CHANNEL_P2P, Bytes(start));
    EXPECT_EQ(accepted.bytes, kOne);
    ASSERT_TRUE(endpoint_.WaitFor(
        [](const auto& m) { return CountOf(m, CHANNEL_P2P, P2P_NOTIFY_1) == 1; }, kStartMs));
    ASSERT_TRUE(WaitUntil([&] { return CountFiles(PartialFiles()) == 1; }, kStartMs));

    ASSERT_EQ(CountFiles(root_.Runtime() + "/hwnd/*"), 1) << "the hidden window is published";
    Reply stop = endpoint_.Call(CHANNEL_STOP, std::string());
    EXPECT_EQ(stop.result, 0);
    EXPECT_EQ(stop.bytes, kOne);
    EXPECT_EQ(processes_.WaitExit(pid, kExitMs), 0);

    EXPECT_FALSE(std::filesystem::exists(ServiceSocket())) << "the endpoint was not released";
    EXPECT_EQ(CountFiles(PartialFiles()), 0) << "the download engine was not stopped";
    // The hidden window's record and the process's post inbox go with it.
    EXPECT_EQ(CountFiles(root_.Runtime() + "/hwnd/*"), 0) << "the window's record stayed";
    EXPECT_EQ(CountFiles(root_.Runtime() + "/post/*"), 0) << "the post inbox stayed";
    // Init: no endpoint yet. UnInit: endpoint released, downloads stopped. Then unloaded.
    const std::vector<std::string> expected = {"Init 0 0", "UnInit 0 0", "unloaded"};
    EXPECT_EQ(EngineLog(), expected);

    std::vector<Received> messages = endpoint_.Messages();
    EXPECT_EQ(CountOf(messages, CHANNEL_PLAYER, PLAYER_NOTIFY_DOWNLOAD_START), 0)
        << "a notification raised before the message center existed was sent";
    EXPECT_EQ(CountOf(messages, CHANNEL_PLAYER, PLAYER_NOTIFY_DOWNLOAD_END), 0)
        << "a notification raised while the player-core stub was deleted was sent";
    // StopP2P ends downloads without reports; StopAll would have reported slot 2.
    int p2p = 0;
    for (const Received& m : messages) {
        p2p += m.channel == CHANNEL_P2P;
    }
    EXPECT_EQ(p2p, 1) << "the download reported after the stop request";
}

// From a terminal: SIGTERM closes the hidden window, and the program shuts down as after the
// stop request.
TEST_F(ServiceTest, SigtermShutsDownInOrderAndExitsWithZero) {
    pid_t pid = StartAnswering(Install(Engine::kRecording));
    ASSERT_GT(pid, 0);
    ASSERT_EQ(kill(pid, SIGTERM), 0);
    EXPECT_EQ(processes_.WaitExit(pid, kExitMs), 0);
    EXPECT_FALSE(std::filesystem::exists(ServiceSocket()));
    EXPECT_EQ(EngineLog(), (std::vector<std::string>{"Init 0 0", "UnInit 0 0", "unloaded"}));
}

TEST_F(ServiceTest, SecondStartEndsTheFirstInstanceAndAnswersItself) {
    pid_t first = StartAnswering(InstalledProgram());
    ASSERT_GT(first, 0);
    pid_t second = processes_.Start(InstalledProgram());
    ASSERT_GT(second, 0);

    // The newer instance posts WM_DESTROY to the older one's window and then kills it, so the
    // older one ends either by its own shutdown or by the kill.
    int status = processes_.WaitExit(first, kExitMs);
    EXPECT_TRUE(status == 0 || status == 128 + SIGKILL) << "status " << status;

    // The older one is gone, so the answers come from the newer one.
    EXPECT_TRUE(WaitUntil([&] { return Answering(); }, kStartMs));
    EXPECT_TRUE(processes_.Running(second));
    EXPECT_EQ(ProcessesNamed("BrCoreService.exe"), std::vector<unsigned>{unsigned(second)});
}

// Without libPlayEngine.so beside it the program runs and answers, every player command
// fails (no reply), the client watch has nothing to stop, and the stop request still works.
TEST_F(ServiceTest, WithoutTheEngineEveryPlayerCommandFailsAndTheServiceRunsOn) {
    pid_t pid = StartAnswering(Install(Engine::kNone));
    ASSERT_GT(pid, 0);

    for (int command = PLAYER_CMD_FIRST; command <= PLAYER_CMD_LAST; ++command) {
        CStreamWriter payload;
        if (command == PLAYER_CMD_OPEN) {
            payload.WriteCmdPlayRequest(command, PlayRequest{});
        } else {
            payload.WriteCmdInts(command, 1, 2, 3);
        }
        Reply reply = endpoint_.Call(CHANNEL_PLAYER, Bytes(payload));
        EXPECT_EQ(reply.result, 0) << "command " << command;
        EXPECT_FALSE(reply.replied) << "command " << command;
    }
    // A client-watch tick passes without a client and without harm.
    std::this_thread::sleep_for(std::chrono::milliseconds(3500));
    EXPECT_TRUE(processes_.Running(pid));
    EXPECT_TRUE(Answering());

    EXPECT_EQ(endpoint_.Call(CHANNEL_STOP, std::string()).bytes, kOne);
    EXPECT_EQ(processes_.WaitExit(pid, kExitMs), 0);
    EXPECT_TRUE(endpoint_.Messages().empty());
}

}  // namespace
}  // namespace svctest
