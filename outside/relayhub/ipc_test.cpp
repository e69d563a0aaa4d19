// Calls between real processes: replies, failures of missing and dying peers, time-outs,
// concurrency and calls in both directions at once.
#include <signal.h>
#include <sys/stat.h>

#include <cstring>
#include <future>
#include <thread>

#include "ipc_fixture.h"
#include "socket_util.h"

namespace relayhubtest {
namespace {

using Clock = std::chrono::steady_clock;

std::string Pattern(size_t size) {
    std::string out(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        out[i] = static_cast<char>(i * 131 + (i >> 9));
    }
    return out;
}

TEST_F(IpcTest, CallsReturnWhatTheReceiverStored) {
    StartPeer(kPeerId);
    const struct {
        const char* name;
        int32_t channel;
        std::string payload;
        bool buffer;
        std::string reply;
    } cases[] = {
        {"echo", kEcho, "hello", true, "hello"},
        {"payload of length 0", kEcho, "", true, ""},
        {"no reply stored", kNoReply, "ignored", false, ""},
        {"empty reply buffer", kEmptyReply, "", true, ""},
        {"one MiB", kEcho, Pattern(1 << 20), true, Pattern(1 << 20)},
        {"the largest payload", kEcho, Pattern(RH_MAX_PAYLOAD), true, Pattern(RH_MAX_PAYLOAD)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CallResult r = CallPeer(kPeerId, c.channel, Bytes(c.payload), 20000);
        ASSERT_EQ(r.hr, S_OK);
        EXPECT_EQ(r.buffer, c.buffer);
        EXPECT_TRUE(r.bytes == c.reply);
    }
    EXPECT_EQ(PeerLiveBuffers(kPeerId), 0);
}

TEST_F(IpcTest, OddArgumentsAreRefusedOrCarriedAsDocumented) {
    StartPeer(kPeerId);
    std::string big(RH_MAX_PAYLOAD + 1, 'x');
    EXPECT_EQ(self_->Call(kPeerId, 0, kEcho, big.data(), RH_MAX_PAYLOAD + 1, nullptr, nullptr, 0),
              RH_E_TOO_LARGE);
    EXPECT_EQ(self_->Call(kPeerId, 0, kEcho, nullptr, 3, nullptr, nullptr, 0), E_INVALIDARG);

    // A negative length sends no bytes: the receiver sees length 0.
    void* reply = nullptr;
    int32_t length = -1;
    ASSERT_EQ(self_->Call(kPeerId, 0, kEcho, "abc", -5, &reply, &length, 0), S_OK);
    EXPECT_NE(reply, nullptr);
    EXPECT_EQ(length, 0);
    center_->FreeBuffer(reply);

    // Without a reply out the reply buffer is given back by the library itself.
    length = -1;
    EXPECT_EQ(self_->Call(kPeerId, 0, kEcho, "abc", 3, nullptr, &length, 0), S_OK);
    EXPECT_EQ(length, 3);
    EXPECT_EQ(self_->Call(kPeerId, 0, kEcho, "abc", 3, nullptr, nullptr, RH_INFINITE), S_OK);
}

TEST_F(IpcTest, AnUnsendableReplyFailsTheCallAndIsFreed) {
    StartPeer(kPeerId);
    EXPECT_EQ(CallPeer(kPeerId, kBadReply, {}).hr, RH_E_BAD_REPLY);
    EXPECT_EQ(PeerLiveBuffers(kPeerId), 0);
    EXPECT_EQ(CallPeer(kPeerId, kEcho, Bytes("after")).bytes, "after");
}

TEST_F(IpcTest, ACallToAnUnregisteredIdFailsAtOnce) {
    for (DWORD timeout : {0u, 5000u, RH_INFINITE}) {
        auto start = Clock::now();
        EXPECT_EQ(CallPeer(4321, kEcho, Bytes("anyone?"), timeout).hr, RH_E_NO_ENDPOINT);
        EXPECT_LT(MillisecondsSince(start), 100);
    }
}

TEST_F(IpcTest, AKilledPeerFailsTheNextCallWithinASecond) {
    PeerProcess& peer = StartPeer(kPeerId);
    ASSERT_EQ(CallPeer(kPeerId, kEcho, Bytes("alive")).hr, S_OK);  // a connection is kept
    peer.Kill();
    auto start = Clock::now();
    HRESULT hr = CallPeer(kPeerId, kEcho, Bytes("dead?"), 0).hr;
    EXPECT_NE(hr, S_OK);
    EXPECT_LT(MillisecondsSince(start), 1000);
}

TEST_F(IpcTest, APeerKilledDuringACallFailsThatCallAtOnce) {
    PeerProcess& peer = StartPeer(kPeerId);
    pid_t pid = peer.Pid();
    auto killedAt = std::make_shared<std::atomic<long>>(0);
    auto start = Clock::now();
    std::thread killer([pid, killedAt, start] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        kill(pid, SIGKILL);
        *killedAt = MillisecondsSince(start);
    });
    // No time-out of the library's own: only the peer's death can end this call.
    HRESULT hr = CallPeer(kPeerId, kSleepEcho, SleepPayload(30000, "never"), 0).hr;
    long endedAt = MillisecondsSince(start);
    killer.join();
    EXPECT_EQ(hr, RH_E_PEER_GONE);
    EXPECT_LT(endedAt - *killedAt, 1000);
    peer.Kill();
}

TEST_F(IpcTest, ATimedOutCallNeverHandsItsLateReplyToALaterCall) {
    StartPeer(kPeerId);
    auto start = Clock::now();
    EXPECT_EQ(CallPeer(kPeerId, kSleepEcho, SleepPayload(400, "late"), 100).hr, RH_E_TIMEOUT);
    long elapsed = MillisecondsSince(start);
    EXPECT_GE(elapsed, 100);
    EXPECT_LT(elapsed, 400);
    // Delivered after the first call's OnMessage has returned, while its late reply is sent.
    CallResult own = CallPeer(kPeerId, kEcho, Bytes("own"), 0);
    EXPECT_EQ(own.hr, S_OK);
    EXPECT_EQ(own.bytes, "own");
    EXPECT_EQ(CallPeer(kPeerId, kEcho, Bytes("next"), 0).bytes, "next");
    // The late reply's buffer was given back in the peer, not kept for anybody.
    EXPECT_EQ(PeerLiveBuffers(kPeerId), 0);
}

TEST_F(IpcTest, ConcurrentCallsEachGetTheirOwnReply) {
    StartPeer(kPeerId);
    constexpr int kThreads = 8, kCalls = 100;
    std::vector<std::future<std::string>> results;
    for (int t = 0; t < kThreads; ++t) {
        results.push_back(std::async(std::launch::async, [this, t] {
            for (int i = 0; i < kCalls; ++i) {
                std::string text = "thread " + std::to_string(t) + " call " + std::to_string(i);
                CallResult r = CallPeer(kPeerId, kEcho, Bytes(text), 10000);
                if (r.hr != S_OK || r.bytes != text) {
                    return text + ": " + std::to_string(r.hr) + " " + r.bytes;
                }
            }
            return std::string();
        }));
    }
    for (auto& r : results) {
        EXPECT_EQ(r.get(), "");
    }
}

TEST_F(IpcTest, ASecondRegistrationOfAnIdFailsInAnotherProcess) {
    PeerProcess second(kHelper);
    ASSERT_TRUE(second.Start({dir_, std::to_string(kSelfId)}));
    EXPECT_EQ(second.ReadLine(), "busy");
    EXPECT_EQ(second.Wait(5000), 3);
    EXPECT_EQ(CallPeer(kSelfId, kEcho, Bytes("still mine")).bytes, "still mine");
}

TEST_F(IpcTest, TheSocketOfAKilledProcessIsTakenOver) {
    StartPeer(kPeerId).Kill();
    struct stat st;
    ASSERT_EQ(stat(relayhub::SocketPath(dir_, kPeerId).c_str(), &st), 0) << "no stale socket";
    EXPECT_NE(CallPeer(kPeerId, kEcho, Bytes("x")).hr, S_OK);
    StartPeer(kPeerId);
    EXPECT_EQ(CallPeer(kPeerId, kEcho, Bytes("new owner")).bytes, "new owner");
}

TEST_F(IpcTest, ProcessesCallingEachOtherAtOnceDoNotDeadlock) {
    PeerProcess& peer = StartPeer(kPeerId);
    peer.Send("echo " + std::to_string(kSelfId) + " 300");
    for (int i = 0; i < 300; ++i) {
        std::string text = "test-" + std::to_string(i);
        ASSERT_EQ(CallPeer(kPeerId, kEcho, Bytes(text), 10000).bytes, text);
    }
    EXPECT_EQ(peer.ReadLine(20000), "ok");
}

TEST_F(IpcTest, CallsBackFromInsideOnMessageInBothDirectionsDoNotDeadlock) {
    PeerProcess& peer = StartPeer(kPeerId);
    for (int round = 0; round < 3; ++round) {
        // Each side's OnMessage sleeps, so both are inside OnMessage when they call the other.
        peer.Send("callback " + std::to_string(kSelfId) + " " + std::to_string(kPeerId) + " 150");
        CallResult r =
            CallPeer(kPeerId, kCallBack, CallBackPayload(kSelfId, 150, "from-test"), 20000);
        ASSERT_EQ(r.hr, S_OK);
        ASSERT_EQ(r.bytes.size(), 4 + 9u);
        int32_t inner = -1;
        std::memcpy(&inner, r.bytes.data(), 4);
        EXPECT_EQ(inner, S_OK);
        EXPECT_EQ(r.bytes.substr(4), "from-test");
        EXPECT_EQ(peer.ReadLine(20000), "result 0 0 from-helper");
    }
}

}  // namespace
}  // namespace relayhubtest
