// The message center within one process: the callback's identity, life cycle, sends without an
// endpoint, and which thread a send runs on.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "msg_center.h"
#include "msg_center_test_access.h"
#include "test_center.h"
#include "test_root.h"

namespace {

using Access = MsgCenterTestAccess;
using Clock = std::chrono::steady_clock;

void* const kUntouched = reinterpret_cast<void*>(0x5EED);
constexpr int kUntouchedLength = -7;

long MillisecondsSince(Clock::time_point start) {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

class MsgCenterTest : public ::testing::Test {
protected:
    brtest::ScopedTestRoot root_;
};

// ---- IMessageCallBack identity ----

TEST_F(MsgCenterTest, AddRefAndReleaseAreConstantAndDeleteNothing) {
    mctest::CTestCenter center;
    IMessageCallBack* callback = &center;
    for (int i = 0; i < 1000; ++i) {
        EXPECT_EQ(callback->AddRef(), 2u);
        EXPECT_EQ(callback->Release(), 1u);
        EXPECT_EQ(callback->Release(), 1u);
    }
    // Still a working object after far more releases than references.
    ASSERT_TRUE(center.Init(PROXY_ENDPOINT_ID));
    std::string payload = mctest::Payload({mctest::kEcho}, "alive");
    void* reply = nullptr;
    int length = 0;
    EXPECT_EQ(
        center.SendMsg(PROXY_ENDPOINT_ID, 0, CHANNEL_PLAYER, payload.data(),
                       static_cast<int>(payload.size()), &reply, &length, SERVICE_CALL_TIMEOUT),
        S_OK);
    EXPECT_EQ(std::string(static_cast<char*>(reply), length), payload);
    center.FreeReply(reply);
    EXPECT_TRUE(center.UnInit());
}

TEST_F(MsgCenterTest, QueryInterfaceKnowsTwoIdsByAllSixteenBytes) {
    CMsgCenter center;
    IID lastByte = IID_IMessageCallBack;
    lastByte.Data4[7] ^= 1;
    IID firstWord = IID_IUnknown;
    firstWord.Data1 = 1;
    IID data3 = IID_IUnknown;
    data3.Data3 = 0x4600;
    const struct {
        const char* name;
        IID iid;
        HRESULT result;
        bool object;
    } cases[] = {
        {"IUnknown", IID_IUnknown, S_OK, true},
        {"IMessageCallBack", IID_IMessageCallBack, S_OK, true},
        {"ICallCenter", IID_ICallCenter, E_FAIL, false},
        {"ICallEndpoint", IID_ICallEndpoint, E_FAIL, false},
        {"callback id with its last byte changed", lastByte, E_FAIL, false},
        {"IUnknown id with Data1 changed", firstWord, E_FAIL, false},
        {"IUnknown id with Data3 changed", data3, E_FAIL, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        void* object = kUntouched;
        EXPECT_EQ(center.QueryInterface(c.iid, &object), c.result);
        EXPECT_EQ(object,
                  c.object ? static_cast<void*>(static_cast<IMessageCallBack*>(&center)) : nullptr);
    }
    EXPECT_EQ(center.QueryInterface(IID_IUnknown, nullptr), E_POINTER);
}

// ---- Without an endpoint ----

// Sends fail with E_FAIL at once and write nothing; posts still report 0.
void ExpectNoEndpoint(CMsgCenter& center) {
    for (DWORD timeout : {INFINITE, SERVICE_CALL_TIMEOUT, DWORD{0}, DWORD{100}}) {
        SCOPED_TRACE(timeout);
        void* reply = kUntouched;
        int length = kUntouchedLength;
        auto start = Clock::now();
        EXPECT_EQ(center.SendMsg(SERVICE_ENDPOINT_ID, 0, CHANNEL_QUERY_RUNNING, nullptr, 0, &reply,
                                 &length, timeout),
                  E_FAIL);
        EXPECT_EQ(center.SendMsgNoReply(SERVICE_ENDPOINT_ID, 0, CHANNEL_STOP, nullptr, 0, timeout),
                  E_FAIL);
        EXPECT_LT(MillisecondsSince(start), 250);
        EXPECT_EQ(reply, kUntouched);
        EXPECT_EQ(length, kUntouchedLength);
    }
    EXPECT_EQ(center.PostMsg(SERVICE_ENDPOINT_ID, 0, CHANNEL_PLAYER, "abcd", 4), 0);
}

TEST_F(MsgCenterTest, NeverInitialisedHasNoEndpoint) {
    CMsgCenter center;
    ExpectNoEndpoint(center);
    EXPECT_EQ(center.AllocReply(4), nullptr);
    center.FreeReply(nullptr);
    EXPECT_TRUE(center.UnInit());
}

TEST_F(MsgCenterTest, InitWithTheIdTakenHasNoEndpoint) {
    CMsgCenter holder;
    ASSERT_TRUE(holder.Init(PROXY_ENDPOINT_ID));
    CMsgCenter center;
    EXPECT_FALSE(center.Init(PROXY_ENDPOINT_ID));
    EXPECT_EQ(Access::Endpoint(center), nullptr);
    EXPECT_NE(Access::CallCenter(center), nullptr);
    ExpectNoEndpoint(center);
    // The interface is there, so reply buffers are.
    void* buffer = center.AllocReply(8);
    EXPECT_NE(buffer, nullptr);
    center.FreeReply(buffer);
    EXPECT_TRUE(center.UnInit());
    EXPECT_TRUE(holder.UnInit());
}

// ---- Life cycle ----

TEST_F(MsgCenterTest, InitTwiceCreatesNothingNew) {
    CMsgCenter center;
    ASSERT_TRUE(center.Init(PROXY_ENDPOINT_ID));
    ICallEndpoint* endpoint = Access::Endpoint(center);
    HANDLE worker = Access::Worker(center);
    DWORD workerId = Access::WorkerId(center);
    HANDLE replyEvent = Access::ReplyEvent(center);
    ASSERT_NE(endpoint, nullptr);
    ASSERT_NE(worker, nullptr);
    ASSERT_NE(workerId, 0u);
    // Also with another id: the endpoint that exists is kept.
    for (int id : {PROXY_ENDPOINT_ID, SERVICE_ENDPOINT_ID}) {
        EXPECT_TRUE(center.Init(id));
        EXPECT_EQ(Access::Endpoint(center), endpoint);
        EXPECT_EQ(Access::Worker(center), worker);
        EXPECT_EQ(Access::WorkerId(center), workerId);
        EXPECT_EQ(Access::ReplyEvent(center), replyEvent);
    }
    // No endpoint of the second id was registered.
    CMsgCenter other;
    EXPECT_TRUE(other.Init(SERVICE_ENDPOINT_ID));
    EXPECT_TRUE(other.UnInit());
    EXPECT_TRUE(center.UnInit());
}

TEST_F(MsgCenterTest, UnInitTwiceReturnsTrueAndLetsGoOfEverything) {
    mctest::CTestCenter center;
    ASSERT_TRUE(center.Init(PROXY_ENDPOINT_ID));
    EXPECT_TRUE(center.UnInit());
    EXPECT_TRUE(center.UnInit());
    EXPECT_EQ(Access::Worker(center), nullptr);
    EXPECT_EQ(Access::WorkerId(center), 0u);
    EXPECT_EQ(Access::ReplyEvent(center), nullptr);
    ExpectNoEndpoint(center);
    // The id is free again, and the same object can start over.
    {
        CMsgCenter other;
        EXPECT_TRUE(other.Init(PROXY_ENDPOINT_ID));
        EXPECT_TRUE(other.UnInit());
    }
    ASSERT_TRUE(center.Init(PROXY_ENDPOINT_ID));
    void* reply = nullptr;
    int length = 0;
    EXPECT_EQ(center.SendMsg(PROXY_ENDPOINT_ID, 0, CHANNEL_QUERY_RUNNING, nullptr, 0, &reply,
                             &length, SERVICE_CALL_TIMEOUT),
              S_OK);
    EXPECT_EQ(std::string(static_cast<char*>(reply), length), "\x01");
    center.FreeReply(reply);
    EXPECT_TRUE(center.UnInit());
}

// ---- Which thread a send runs on ----

// Stands in for the call center's endpoint: records the thread and the time-out of each call.
// Channel kNested makes, from inside the call, a send with a time-out through the same message
// center; channel kHold waits until Free().
class FakeEndpoint final : public ICallEndpoint {
public:
    static constexpr int kPlain = 1;
    static constexpr int kNested = 2;
    static constexpr int kHold = 3;

    struct Seen {
        std::thread::id thread;
        DWORD timeout = 0;
    };

    explicit FakeEndpoint(CMsgCenter& center) : center_(center) {}

    HRESULT QueryInterface(REFIID, void**) override { return E_FAIL; }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT Call(int32_t target, int32_t, int32_t channel, const void*, int32_t, void**, int32_t*,
                 DWORD timeout) override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            seen_[channel] = {std::this_thread::get_id(), timeout};
        }
        if (channel == kNested) {
            auto start = Clock::now();
            nestedResult_ = center_.SendMsgNoReply(target, 0, kPlain, nullptr, 0, 2000);
            nestedMs_ = MillisecondsSince(start);
        } else if (channel == kHold) {
            std::unique_lock<std::mutex> lock(mutex_);
            freed_.wait(lock, [this] { return free_; });
        }
        return S_OK;
    }

    Seen SeenOn(int channel) {
        std::lock_guard<std::mutex> lock(mutex_);
        return seen_[channel];
    }
    void Free() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            free_ = true;
        }
        freed_.notify_all();
    }

    std::atomic<int> nestedResult_{-1};
    std::atomic<long> nestedMs_{-1};

private:
    CMsgCenter& center_;
    std::mutex mutex_;
    std::condition_variable freed_;
    bool free_ = false;
    Seen seen_[4];
};

class MsgCenterThreadTest : public MsgCenterTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(center_.Init(PROXY_ENDPOINT_ID));
        real_ = Access::Endpoint(center_);
        Access::Endpoint(center_) = &fake_;
    }
    void TearDown() override {
        fake_.Free();
        // A queued send completes after everything queued before it: the worker is idle then.
        EXPECT_EQ(center_.SendMsgNoReply(SERVICE_ENDPOINT_ID, 0, FakeEndpoint::kPlain, nullptr, 0,
                                         SERVICE_CALL_TIMEOUT),
                  S_OK);
        Access::Endpoint(center_) = real_;
        EXPECT_TRUE(center_.UnInit());
    }

    CMsgCenter center_;
    FakeEndpoint fake_{center_};
    ICallEndpoint* real_ = nullptr;
};

TEST_F(MsgCenterThreadTest, ASendFromTheWorkerCallsDirectly) {
    auto start = Clock::now();
    EXPECT_EQ(center_.SendMsgNoReply(SERVICE_ENDPOINT_ID, 0, FakeEndpoint::kNested, nullptr, 0,
                                     SERVICE_CALL_TIMEOUT),
              S_OK);
    EXPECT_LT(MillisecondsSince(start), 1000);
    FakeEndpoint::Seen outer = fake_.SeenOn(FakeEndpoint::kNested);
    FakeEndpoint::Seen inner = fake_.SeenOn(FakeEndpoint::kPlain);
    EXPECT_NE(outer.thread, std::this_thread::get_id());  // the worker made the outer call
    EXPECT_EQ(outer.timeout, 0u);                         // with no time-out of the library's
    EXPECT_EQ(inner.thread, outer.thread);                // and the nested one itself,
    EXPECT_EQ(inner.timeout, 2000u);                      // passing the caller's time-out
    EXPECT_EQ(fake_.nestedResult_.load(), S_OK);
    EXPECT_LT(fake_.nestedMs_.load(), 500);
}

TEST_F(MsgCenterThreadTest, AnInfiniteSendDoesNotWaitForABusyWorker) {
    EXPECT_EQ(center_.PostMsg(SERVICE_ENDPOINT_ID, 0, FakeEndpoint::kHold, nullptr, 0), 0);
    // The worker is now held inside its call.
    auto deadline = Clock::now() + std::chrono::seconds(5);
    while (fake_.SeenOn(FakeEndpoint::kHold).thread == std::thread::id() &&
           Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    auto start = Clock::now();
    EXPECT_EQ(
        center_.SendMsgNoReply(SERVICE_ENDPOINT_ID, 0, FakeEndpoint::kPlain, nullptr, 0, INFINITE),
        S_OK);
    EXPECT_LT(MillisecondsSince(start), 500);
    FakeEndpoint::Seen plain = fake_.SeenOn(FakeEndpoint::kPlain);
    EXPECT_EQ(plain.thread, std::this_thread::get_id());
    EXPECT_EQ(plain.timeout, INFINITE);
    // A queued send meanwhile waits behind the held call and times out.
    EXPECT_EQ(center_.SendMsgNoReply(SERVICE_ENDPOINT_ID, 0, FakeEndpoint::kPlain, nullptr, 0, 50),
              E_FAIL);
}

}  // namespace
