// The message center between two real processes: this test process holds the proxy's endpoint
// (4098), the peer helper the service's (4097), both in the test's own runtime root.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "brlib.h"
#include "call_center.h"
#include "peer_process.h"
#include "test_center.h"
#include "test_root.h"

namespace {

using mctest::Payload;
using mctest::Received;
using Clock = std::chrono::steady_clock;

void* const kUntouched = reinterpret_cast<void*>(0x5EED);
constexpr int kUntouchedLength = -7;
constexpr int kWholePayload = INT_MIN;  // Send's length: the payload's size

long MillisecondsSince(Clock::time_point start) {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

struct Reply {
    int hr = E_FAIL;
    bool buffer = false;
    std::string bytes;
};

class MsgCenterIpcTest : public ::testing::Test {
protected:
    void SetUp() override {
        center_ = std::make_unique<mctest::CTestCenter>();
        ASSERT_TRUE(center_->Init(PROXY_ENDPOINT_ID));
        ASSERT_TRUE(peer_.Start({std::to_string(SERVICE_ENDPOINT_ID)}));
        ASSERT_EQ(peer_.ReadLine(), "ready");
    }

    void TearDown() override {
        if (peer_.Pid() > 0) {
            peer_.CloseInput();
            EXPECT_EQ(peer_.Wait(10000), 0) << "the peer did not leave cleanly";
        }
        EXPECT_TRUE(center_->UnInit());
        center_.reset();
    }

    // A send to the peer; the reply is copied and given back.
    Reply Send(int channel, const std::string& payload, DWORD timeout = SERVICE_CALL_TIMEOUT,
               int length = kWholePayload) {
        Reply r;
        void* reply = kUntouched;
        int replyLength = kUntouchedLength;
        r.hr = center_->SendMsg(SERVICE_ENDPOINT_ID, 0, channel, payload.data(),
                                length == kWholePayload ? static_cast<int>(payload.size()) : length,
                                &reply, &replyLength, timeout);
        if (r.hr == S_OK) {
            r.buffer = reply != nullptr;
            if (reply) {
                r.bytes.assign(static_cast<char*>(reply), static_cast<size_t>(replyLength));
            }
            center_->FreeReply(reply);
        } else {
            EXPECT_EQ(reply, kUntouched) << "a failed send wrote its reply out";
            EXPECT_EQ(replyLength, kUntouchedLength);
        }
        return r;
    }

    // What the peer has received so far (asked for through the worker).
    std::vector<Received> PeerLog() {
        Reply r = Send(CHANNEL_PLAYER, Payload({mctest::kLog}));
        std::vector<Received> log;
        EXPECT_EQ(r.hr, S_OK);
        EXPECT_TRUE(mctest::ReadLog(r.bytes, log));
        return log;
    }

    // One command line to the peer and its answer.
    std::string Peer(const std::string& line) {
        peer_.Send(line);
        return peer_.ReadLine();
    }

    // Buffers of this process's call center not given back, once the replies our own receiver
    // answered with have been sent (the library frees those just after sending).
    size_t LiveBuffers() {
        auto* center = static_cast<relayhub::CallCenter*>(RS_InitializeCallCenter(
            BrLib::Dir::GetBrPath(BrLib::BR_PATH_CALLCENTER_DIR).c_str(), 3));
        if (!center) {
            return 12345;
        }
        auto deadline = Clock::now() + std::chrono::seconds(2);
        while (center->LiveBuffers() != 0 && Clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return center->LiveBuffers();
    }

    brtest::ScopedTestRoot root_;
    std::unique_ptr<mctest::CTestCenter> center_;
    brtest::PeerProcess peer_{"msgcenter_peer"};
};

// ---- Calls and posts in both directions ----

TEST_F(MsgCenterIpcTest, CallsAndPostsTravelBothWaysOnEveryChannel) {
    struct Case {
        int channel;
        std::string payload;
        int length;
        std::string reply;
        std::string arrives;
    };
    const std::string p2p = Payload({mctest::kEcho, 5}, "p2p command");
    const std::string player = Payload({mctest::kEcho, 7}, "player command");
    const Case cases[] = {
        {CHANNEL_P2P, p2p, kWholePayload, p2p, p2p},
        {CHANNEL_PLAYER, player, kWholePayload, player, player},
        {CHANNEL_QUERY_RUNNING, "", 0, "\x01", ""},
        // A length below 0 sends no bytes at all.
        {CHANNEL_STOP, "ignored", -5, "\x01", ""},
    };
    std::vector<Received> toPeer, toUs;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.channel);
        const int length =
            c.length == kWholePayload ? static_cast<int>(c.payload.size()) : c.length;
        for (DWORD timeout : {SERVICE_CALL_TIMEOUT, INFINITE}) {
            Reply r = Send(c.channel, c.payload, timeout, length);
            EXPECT_EQ(r.hr, S_OK);
            EXPECT_TRUE(r.buffer);
            EXPECT_EQ(r.bytes, c.reply);
            toPeer.push_back({c.channel, c.arrives});
        }
        EXPECT_EQ(center_->PostMsg(SERVICE_ENDPOINT_ID, 0, c.channel, c.payload.data(), length), 0);
        toPeer.push_back({c.channel, c.arrives});

        const std::string hex = mctest::ToHex(c.arrives);
        const std::string target =
            std::to_string(PROXY_ENDPOINT_ID) + " " + std::to_string(c.channel) + " ";
        EXPECT_EQ(Peer("send " + target + "worker " + hex), "result 0 " + mctest::ToHex(c.reply));
        EXPECT_EQ(Peer("send " + target + "direct " + hex), "result 0 " + mctest::ToHex(c.reply));
        EXPECT_EQ(Peer("noreply " + target + hex), "result 0 -");
        EXPECT_EQ(Peer("post " + target + hex), "posted 0");
        for (int i = 0; i < 4; ++i) {
            toUs.push_back({c.channel, c.arrives});
        }
    }
    EXPECT_EQ(PeerLog(), toPeer);
    ASSERT_TRUE(center_->WaitForCount(toUs.size(), 5000));
    EXPECT_EQ(center_->Log(), toUs);
    EXPECT_EQ(LiveBuffers(), 0u);
}

TEST_F(MsgCenterIpcTest, EveryFieldKindRoundTripsBothWays) {
    const mctest::Fields sent = mctest::SampleFields(7);
    const std::string payload = mctest::WriteFields(sent);
    Reply r = Send(CHANNEL_PLAYER, payload);
    ASSERT_EQ(r.hr, S_OK);
    EXPECT_EQ(r.bytes, payload);
    CStreamReader reader;
    reader.Attach(r.bytes.data(), r.bytes.data() + r.bytes.size());
    int command = 0;
    mctest::Fields back;
    ASSERT_TRUE(reader.ReadInt(command));
    EXPECT_EQ(command, mctest::kFields);
    ASSERT_TRUE(mctest::ReadFields(reader, back));
    EXPECT_TRUE(mctest::SameFields(back, sent));
    EXPECT_EQ(reader.GetRemaining(), 0u);

    // From the peer: our routing reads the fields and writes them back.
    const std::string theirs = mctest::WriteFields(mctest::SampleFields(9));
    const std::string hex = mctest::ToHex(theirs);
    EXPECT_EQ(Peer("send 4098 2 worker " + hex), "result 0 " + hex);
    EXPECT_EQ(Peer("send 4098 1 direct " + hex), "result 0 " + hex);
    // A payload cut short is refused by our routing: delivered, but no reply buffer.
    EXPECT_EQ(Peer("send 4098 2 worker " + mctest::ToHex(theirs.substr(0, 40))), "result 0 -");
}

// ---- Order, time-outs, failures ----

TEST_F(MsgCenterIpcTest, PostsQueuedBeforeASendArriveFirst) {
    // The first post keeps the peer busy, so a send that skipped the queue would arrive first.
    const std::vector<Received> posts = {
        {CHANNEL_PLAYER, Payload({mctest::kDelayEcho, 300}, "first")},
        {CHANNEL_P2P, Payload({mctest::kEcho}, "second")},
        {CHANNEL_PLAYER, Payload({mctest::kSilent}, "third")},
    };
    for (const Received& p : posts) {
        EXPECT_EQ(center_->PostMsg(SERVICE_ENDPOINT_ID, 0, p.channel, p.bytes.data(),
                                   static_cast<int>(p.bytes.size())),
                  0);
    }
    EXPECT_EQ(PeerLog(), posts);
}

TEST_F(MsgCenterIpcTest, ATimedOutSendLeavesItsCallerAloneAndTheNextGetsItsOwnReply) {
    for (DWORD nextTimeout : {SERVICE_CALL_TIMEOUT, DWORD{5000}}) {
        SCOPED_TRACE(nextTimeout);
        void* lateReply = kUntouched;
        int lateLength = kUntouchedLength;
        const std::string late = Payload({mctest::kDelayEcho, 500}, "late reply");
        auto start = Clock::now();
        EXPECT_EQ(center_->SendMsg(SERVICE_ENDPOINT_ID, 0, CHANNEL_PLAYER, late.data(),
                                   static_cast<int>(late.size()), &lateReply, &lateLength, 100),
                  E_FAIL);
        long waited = MillisecondsSince(start);
        EXPECT_GE(waited, 95);
        EXPECT_LT(waited, 400);

        // Queued behind the late call, whose completion comes while this send waits.
        const std::string own = Payload({mctest::kEcho}, "own reply");
        Reply r = Send(CHANNEL_PLAYER, own, nextTimeout);
        EXPECT_EQ(r.hr, S_OK);
        EXPECT_EQ(r.bytes, own);
        EXPECT_GE(MillisecondsSince(start), 450);

        EXPECT_EQ(lateReply, kUntouched);
        EXPECT_EQ(lateLength, kUntouchedLength);
        // The late reply's buffer went back to the call center.
        EXPECT_EQ(LiveBuffers(), 0u);
    }
}

TEST_F(MsgCenterIpcTest, AKilledPeerFailsTheNextCallWithinASecond) {
    ASSERT_EQ(Send(CHANNEL_QUERY_RUNNING, "").hr, S_OK);
    peer_.Kill();
    const struct {
        const char* name;
        DWORD timeout;
    } cases[] = {{"through the worker", SERVICE_CALL_TIMEOUT},
                 {"with a time-out", 5000},
                 {"direct", INFINITE}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto start = Clock::now();
        EXPECT_NE(Send(CHANNEL_QUERY_RUNNING, "", c.timeout).hr, S_OK);
        EXPECT_LT(MillisecondsSince(start), 1000);
    }
    // A post's failure is reported to nobody, and the worker goes on.
    EXPECT_EQ(center_->PostMsg(SERVICE_ENDPOINT_ID, 0, CHANNEL_PLAYER, "x", 1), 0);
    auto start = Clock::now();
    EXPECT_NE(Send(CHANNEL_QUERY_RUNNING, "").hr, S_OK);
    EXPECT_LT(MillisecondsSince(start), 1000);
}

TEST_F(MsgCenterIpcTest, APeerKilledDuringACallFailsItWithinASecond) {
    std::atomic<int> result{1};
    std::atomic<long> killedAt{-1}, endedAt{-1};
    auto start = Clock::now();
    std::thread sender([&] {
        result = Send(CHANNEL_PLAYER, Payload({mctest::kDelayEcho, 20000})).hr;
        endedAt = MillisecondsSince(start);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    killedAt = MillisecondsSince(start);
    peer_.Kill();
    sender.join();
    EXPECT_NE(result.load(), S_OK);
    EXPECT_LT(endedAt - killedAt, 1000);
}

TEST_F(MsgCenterIpcTest, ConcurrentSendersEachGetTheirOwnReplies) {
    constexpr int kThreads = 8;
    constexpr int kSends = 40;
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kSends; ++i) {
                // Half the threads queue through the worker, half call directly, all at once.
                DWORD timeout = (t + i) % 2 == 0 ? SERVICE_CALL_TIMEOUT : INFINITE;
                std::string payload =
                    Payload({mctest::kEcho, t, i}, "sender " + std::to_string(t * 1000 + i));
                Reply r = Send(t % 2 == 0 ? CHANNEL_PLAYER : CHANNEL_P2P, payload, timeout);
                if (r.hr != S_OK || r.bytes != payload) {
                    ++wrong;
                }
            }
        });
    }
    // Meanwhile the peer calls this process.
    EXPECT_EQ(Peer("send 4098 2 direct " + mctest::ToHex(Payload({mctest::kEcho}, "peer"))),
              "result 0 " + mctest::ToHex(Payload({mctest::kEcho}, "peer")));
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(PeerLog().size(), static_cast<size_t>(kThreads * kSends));
    EXPECT_EQ(LiveBuffers(), 0u);
}

// ---- Stopping ----

TEST_F(MsgCenterIpcTest, UnInitEndsAWorkerStuckInACall) {
    EXPECT_EQ(center_->PostMsg(SERVICE_ENDPOINT_ID, 0, CHANNEL_PLAYER,
                               Payload({mctest::kDelayEcho, 20000}).data(), 8),
              0);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    auto start = Clock::now();
    EXPECT_TRUE(center_->UnInit());
    long took = MillisecondsSince(start);
    EXPECT_GE(took, 2900);
    EXPECT_LT(took, 6000);
    // The endpoint is gone: the id can be registered again.
    center_.reset();
    mctest::CTestCenter again;
    EXPECT_TRUE(again.Init(PROXY_ENDPOINT_ID));
    EXPECT_TRUE(again.UnInit());
    center_ = std::make_unique<mctest::CTestCenter>();
    peer_.Kill();  // still inside its 20-second answer
}

}  // namespace
