// The player-core stub on the real engine library, loaded by name as the service loads it, and
// without one: a missing library, a library without the export, an export that gives no core.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "byte_stream.h"
#include "fake_call_message.h"
#include "msg_ids.h"
#include "play_core_stub.h"
#include "player_protocol.h"
#include "service_test_fixture.h"
#include "stream_test_util.h"

namespace servicetest {
namespace {

using namespace std::chrono_literals;

// A PCM WAV file: 16-bit mono at 8000 Hz, `milliseconds` long, silent.
std::string Wav(int milliseconds) {
    const uint32_t rate = 8000;
    const uint32_t bytes = rate * 2 * static_cast<uint32_t>(milliseconds) / 1000;
    CStreamWriter w;
    w.WriteRaw("RIFF", 4);
    w.WriteInt(static_cast<int>(36 + bytes));
    w.WriteRaw("WAVEfmt ", 8);
    w.WriteInt(16);
    const uint8_t format[] = {1, 0, 1, 0};  // PCM, one channel
    w.WriteRaw(format, 4);
    w.WriteInt(static_cast<int>(rate));
    w.WriteInt(static_cast<int>(rate * 2));
    const uint8_t align[] = {2, 0, 16, 0};  // block align 2, 16 bits
    w.WriteRaw(align, 4);
    w.WriteRaw("data", 4);
    w.WriteInt(static_cast<int>(bytes));
    w.WriteRaw(nullptr, static_cast<int>(bytes));
    return std::string(reinterpret_cast<const char*>(w.GetData()), w.GetSize());
}

std::string Command(int command) {
    CStreamWriter w;
    w.WriteInt(command);
    return std::string(reinterpret_cast<const char*>(w.GetData()), w.GetSize());
}

std::string OpenCommand(const std::string& location) {
    PlayRequest request;
    std::snprintf(request.itemText1, sizeof request.itemText1, "%s", location.c_str());
    CStreamWriter w;
    w.WriteCmdPlayRequest(PLAYER_CMD_OPEN, request);
    return std::string(reinterpret_cast<const char*>(w.GetData()), w.GetSize());
}

// Dispatches a command; its int reply, or INT32_MIN without one.
int IntReply(CPlayCoreStub& stub, const std::string& payload) {
    FakeCallMessage message(CHANNEL_PLAYER, payload);
    EXPECT_EQ(stub.Dispatch(&message), S_OK);
    if (message.ReplyLength() != 4) {
        return INT32_MIN;
    }
    int value = 0;
    std::memcpy(&value, message.Reply().data(), 4);
    return value;
}

// The notification numbers the proxy's endpoint has received, in order.
std::vector<int> NotificationIds(RecordingEndpoint& proxy) {
    std::vector<int> ids;
    for (const Received& message : proxy.Messages()) {
        int id = 0;
        if (message.channel == CHANNEL_PLAYER && message.bytes.size() >= 4) {
            std::memcpy(&id, message.bytes.data(), 4);
        }
        ids.push_back(id);
    }
    return ids;
}

class PlayCoreEngineTest : public ServiceTest {};

TEST_F(PlayCoreEngineTest, TheRealEnginePlaysAndReportsThroughTheStub) {
    const std::string path = root_.Path() + "/tone.wav";
    ASSERT_TRUE(brtest::WriteFile(path, Wav(300)));

    auto stub = std::make_unique<CPlayCoreStub>();
    ASSERT_NE(stub->GetCore(), nullptr);
    EXPECT_NE(GetModuleHandleA(PLAY_ENGINE_LIBRARY), nullptr);

    EXPECT_EQ(IntReply(*stub, OpenCommand(path)), 0);
    EXPECT_EQ(IntReply(*stub, Command(PLAYER_CMD_PLAY)), 0);
    ASSERT_TRUE(proxy_->WaitForCount(1));
    EXPECT_EQ(NotificationIds(*proxy_), std::vector<int>{PLAYER_NOTIFY_PLAY_START});

    // The snapshot of the live object: state playing, the file's duration and path.
    {
        FakeCallMessage message(CHANNEL_PLAYER, Command(PLAYER_CMD_GET_PLAY_OBJECT));
        ASSERT_EQ(stub->Dispatch(&message), S_OK);
        const std::string reply = message.Reply();
        ASSERT_GE(reply.size(), 125u);
        CStreamReader r;
        r.Attach(reply.data(), reply.data() + reply.size());
        int result = -1, f = 0, h = 0, buffered = 0, second = 0, g = 0, a = 0, b = 0;
        int volume = 0, position = 0, length = 0, state = 0;
        ASSERT_TRUE(r.ReadInts(result, f, h) && r.ReadInts(buffered, second, g) && r.ReadInt(a) &&
                    r.ReadInt(b));
        PlayBlock block;
        BYTE flag = 0;
        ASSERT_TRUE(r.ReadBlock(block) && r.ReadByte(flag) && r.ReadInt(volume) &&
                    r.ReadInt(position) && r.ReadInt(length));
        EXPECT_EQ(result, 0);
        EXPECT_EQ(buffered, 100);
        EXPECT_EQ(volume, 100);
        EXPECT_EQ(h, 8000);  // the sample rate
        EXPECT_EQ(length, 7 * 4);
        std::string data(static_cast<size_t>(length), '\0');
        ASSERT_TRUE(r.ReadRaw(data.data(), length));
        std::string textD, textB, textA, textC;
        int numberE = 0, duration = 0, numberC = 0, numberD = 0;
        ASSERT_TRUE(r.ReadInt(state) && r.ReadString(textD) && r.ReadString(textB) &&
                    r.ReadInt(numberE) && r.ReadInt(duration) && r.ReadString(textA) &&
                    r.ReadInt(numberC) && r.ReadInt(numberD) && r.ReadString(textC));
        EXPECT_EQ(state, 3);
        EXPECT_EQ(duration, 300);
        EXPECT_EQ(textA, path);
        EXPECT_EQ(r.GetRemaining(), 0u);
    }

    EXPECT_EQ(IntReply(*stub, Command(PLAYER_CMD_PAUSE)), 0);
    ASSERT_TRUE(proxy_->WaitForCount(2));
    EXPECT_EQ(Hex(proxy_->Messages()[1].bytes), brtest::Norm("02 00 00 00 01"));
    EXPECT_EQ(IntReply(*stub, Command(PLAYER_CMD_PLAY)), 0);  // resumes
    ASSERT_TRUE(proxy_->WaitForCount(3));
    // Played to its end by the engine's clock.
    ASSERT_TRUE(proxy_->WaitForCount(4));
    EXPECT_EQ(NotificationIds(*proxy_),
              (std::vector<int>{PLAYER_NOTIFY_PLAY_START, PLAYER_NOTIFY_PLAY_PAUSE,
                                PLAYER_NOTIFY_PLAY_RESUME, PLAYER_NOTIFY_PLAY_END}));

    // A missing file and a file that is no audio: the engine's own results travel back.
    EXPECT_EQ(IntReply(*stub, OpenCommand(root_.Path() + "/missing.wav")), 2);
    ASSERT_TRUE(brtest::WriteFile(root_.Path() + "/notes.txt", "not audio at all"));
    EXPECT_EQ(IntReply(*stub, OpenCommand(root_.Path() + "/notes.txt")), 3);
    ASSERT_TRUE(proxy_->WaitForCount(5));
    EXPECT_EQ(NotificationIds(*proxy_).back(), PLAYER_NOTIFY_DECODER_MISSING);

    // Deleting the stub uninitialises the engine and frees its library.
    stub.reset();
    EXPECT_EQ(GetModuleHandleA(PLAY_ENGINE_LIBRARY), nullptr);
}

TEST_F(PlayCoreEngineTest, StopOnTheRealEngineReportsTheStop) {
    const std::string path = root_.Path() + "/long.wav";
    ASSERT_TRUE(brtest::WriteFile(path, Wav(5000)));
    CPlayCoreStub stub;
    EXPECT_EQ(IntReply(stub, OpenCommand(path)), 0);
    EXPECT_EQ(IntReply(stub, Command(PLAYER_CMD_PLAY)), 0);
    EXPECT_EQ(IntReply(stub, Command(PLAYER_CMD_STOP)), 0);
    ASSERT_TRUE(proxy_->WaitForCount(2));
    EXPECT_EQ(NotificationIds(*proxy_),
              (std::vector<int>{PLAYER_NOTIFY_PLAY_START, PLAYER_NOTIFY_PLAY_STOP}));
    EXPECT_EQ(IntReply(stub, Command(PLAYER_CMD_QUERY_STATUS)), 1);
}

TEST_F(PlayCoreEngineTest, TheDestructorUnInitsTheCoreThenFreesTheLibrary) {
    const std::string log = root_.Path() + "/engine.log";
    setenv("SERVICE_TEST_ENGINE_LOG", log.c_str(), 1);
    {
        CPlayCoreStub stub("ServiceLoggingEngine.dll");
        EXPECT_NE(stub.GetCore(), nullptr);
        EXPECT_EQ(brtest::ReadFile(log), "Init(receiver,0,0,0)\n");
    }
    unsetenv("SERVICE_TEST_ENGINE_LOG");
    EXPECT_EQ(brtest::ReadFile(log), "Init(receiver,0,0,0)\nUnInit\nunloaded\n");
}

struct MissingEngineCase {
    const char* name;
    const char* library;
};

TEST_F(PlayCoreEngineTest, WithoutAnEngineEveryCommandFailsWithoutReply) {
    const MissingEngineCase cases[] = {
        {"no such library", "NoSuchPlayEngine.dll"},
        {"a library without the export", "swarmget.dll"},
        {"an export that gives no core", "ServiceNullEngine.dll"},
    };
    for (const MissingEngineCase& c : cases) {
        SCOPED_TRACE(c.name);
        CPlayCoreStub stub(c.library);
        EXPECT_EQ(stub.GetCore(), nullptr);
        for (int command = -1; command <= 20; ++command) {
            SCOPED_TRACE(command);
            FakeCallMessage message(CHANNEL_PLAYER, Command(command) + std::string(2592, '\0'));
            EXPECT_EQ(stub.Dispatch(&message), E_FAIL);
            EXPECT_FALSE(message.HasReply());
        }
    }
    // The test library was loaded and has been freed again.
    EXPECT_EQ(GetModuleHandleA("ServiceNullEngine.dll"), nullptr);
    EXPECT_TRUE(proxy_->Messages().empty());
}

}  // namespace
}  // namespace servicetest
