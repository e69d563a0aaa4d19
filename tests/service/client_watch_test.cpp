// The client watch of the real program: every 3 seconds, while neither "brmusic.exe" nor
// "BRDJ.exe" runs in its runtime root, it tells the player engine to stop.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "byte_stream.h"
#include "msg_ids.h"
#include "player_protocol.h"
#include "service_fixture.h"
#include "test_wav.h"

namespace servicetest {
namespace {

TEST_F(ServiceTest, WithoutAClientTheEngineIsToldToStopEveryThreeSeconds) {
    pid_t pid = StartAnswering(Install(Engine::kRecording));
    ASSERT_GT(pid, 0);
    long long answered = MonotonicMs();

    ASSERT_TRUE(brtest::WaitUntil([&] { return EngineTimes("Stop").size() >= 3; },
                                  std::chrono::milliseconds(3 * 3000 + kStartMs)));
    std::vector<long long> stops = EngineTimes("Stop");
    // The first tick comes one period after the timer was set, just before the first answer.
    EXPECT_GT(stops[0] - answered, 2000);
    for (size_t i = 1; i < stops.size(); ++i) {
        EXPECT_GE(stops[i] - stops[i - 1], 2500) << "tick " << i;
        EXPECT_LE(stops[i] - stops[i - 1], 4000) << "tick " << i;
    }
    EXPECT_TRUE(processes_.Running(pid)) << "the service must not end for lack of clients";
    EXPECT_TRUE(Answering());
}

// A client's file name and the name the process snapshot reports for it.
using ClientName = std::pair<std::string, std::string>;

// A running client keeps the engine undisturbed; once it has gone, the stops begin.
class ClientWatchTest : public ServiceTest, public ::testing::WithParamInterface<ClientName> {};

TEST_P(ClientWatchTest, ARunningClientKeepsTheEngineFromBeingStopped) {
    const auto& [fileName, reportedName] = GetParam();
    pid_t client = StartClient(fileName, reportedName);
    ASSERT_GT(client, 0);
    ASSERT_GT(StartAnswering(Install(Engine::kRecording)), 0);

    EXPECT_TRUE(brtest::NothingFor(std::chrono::milliseconds(7000),
                                   [&] { return !EngineTimes("Stop").empty(); }))
        << reportedName << " runs";

    processes_.Kill(client);
    EXPECT_TRUE(brtest::WaitUntil([&] { return !EngineTimes("Stop").empty(); },
                                  std::chrono::milliseconds(3000 + kStartMs)));
}

INSTANTIATE_TEST_SUITE_P(Clients, ClientWatchTest,
                         ::testing::Values(ClientName{"brmusic.exe", "brmusic.exe"},
                                           ClientName{"BRDJ", "BRDJ.exe"}),
                         [](const auto& info) {
                             return info.param.first.substr(0, info.param.first.find('.'));
                         });

// With the real engine: what plays without a client is stopped at the next tick, and the
// engine's stop notification reaches the test's endpoint.
TEST_F(ServiceTest, WithoutAClientTheRealEngineStopsPlaying) {
    const std::string song = root_.Path() + "/song.wav";
    ASSERT_TRUE(brtest::WriteFile(song, enginetest::WavOfMs(60000)));
    ASSERT_GT(StartAnswering(InstalledProgram()), 0);

    PlayRequest request;
    std::snprintf(request.itemText1, sizeof request.itemText1, "%s", song.c_str());
    CStreamWriter open;
    open.WriteCmdPlayRequest(PLAYER_CMD_OPEN, request);
    EXPECT_EQ(endpoint_.Call(CHANNEL_PLAYER, Bytes(open)).bytes, std::string(4, '\0'));
    CStreamWriter play;
    play.WriteInt(PLAYER_CMD_PLAY);
    EXPECT_EQ(endpoint_.Call(CHANNEL_PLAYER, Bytes(play)).bytes, std::string(4, '\0'));

    EXPECT_TRUE(endpoint_.WaitFor(
        [](const auto& m) { return CountOf(m, CHANNEL_PLAYER, PLAYER_NOTIFY_PLAY_STOP) == 1; },
        3000 + kStartMs));
    std::vector<Received> messages = endpoint_.Messages();
    ASSERT_GE(messages.size(), 2u);
    EXPECT_EQ(PayloadId(messages[0].bytes), PLAYER_NOTIFY_PLAY_START);
}

}  // namespace
}  // namespace servicetest
