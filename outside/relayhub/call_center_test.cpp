// The call center within one process: its directory, buffers, registrations, and the release
// of endpoints while calls and deliveries run.
#include "call_center.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>

#include "relayhub.h"
#include "socket_util.h"
#include "test_peer.h"
#include "test_root.h"

namespace {

using namespace relayhubtest;
using Clock = std::chrono::steady_clock;

long MillisecondsSince(Clock::time_point start) {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

class CallCenterTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = root_.Runtime() + "/callcenter";
        center_ = RS_InitializeCallCenter(dir_.c_str(), 3);
        ASSERT_NE(center_, nullptr);
    }

    // A call whose reply is returned as text; the reply buffer is given back.
    HRESULT CallText(ICallEndpoint* from, int32_t target, int32_t channel,
                     const std::vector<uint8_t>& payload, std::string* text, DWORD timeout = 5000) {
        void* reply = nullptr;
        int32_t length = 0;
        HRESULT hr = from->Call(target, 0, channel, payload.data(),
                                static_cast<int32_t>(payload.size()), &reply, &length, timeout);
        if (hr == S_OK && text) {
            *text = reply ? std::string(static_cast<char*>(reply), length) : "<none>";
        }
        center_->FreeBuffer(reply);
        return hr;
    }

    size_t LiveBuffers() { return static_cast<relayhub::CallCenter*>(center_)->LiveBuffers(); }

    brtest::ScopedTestRoot root_;
    std::string dir_;
    ICallCenter* center_ = nullptr;
};

TEST_F(CallCenterTest, OneObjectPerDirectoryMadePrivate) {
    struct stat st;
    ASSERT_EQ(stat(dir_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(RS_InitializeCallCenter(dir_.c_str(), 3), center_);
    EXPECT_EQ(RS_InitializeCallCenter((dir_ + "/").c_str(), 3), center_);

    std::string open = root_.Runtime() + "/open";
    ASSERT_EQ(mkdir(open.c_str(), 0755), 0);
    ICallCenter* other = RS_InitializeCallCenter(open.c_str(), 3);
    EXPECT_NE(other, nullptr);
    EXPECT_NE(other, center_);
    ASSERT_EQ(stat(open.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(CallCenterTest, RefusesWhatCannotHoldEndpoints) {
    std::string file = root_.Runtime() + "/file";
    ASSERT_TRUE(brtest::WriteFile(file, "x"));
    const struct {
        const char* name;
        std::string dir;
        int mode;
    } cases[] = {
        {"other mode", dir_, 2},
        {"empty directory text", "", 3},
        {"a file", file, 3},
        {"a missing parent", root_.Runtime() + "/a/b", 3},
        {"too long for a socket address", root_.Runtime() + "/" + std::string(100, 'd'), 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RS_InitializeCallCenter(c.dir.c_str(), c.mode), nullptr) << c.name;
    }
    EXPECT_EQ(RS_InitializeCallCenter(nullptr, 3), nullptr);
}

TEST_F(CallCenterTest, BuffersAreHandedOutWithinTheLimitAndTakenBack) {
    const struct {
        int32_t size;
        bool given;
    } cases[] = {
        {-1, false}, {0, true}, {1, true}, {RH_MAX_PAYLOAD, true}, {RH_MAX_PAYLOAD + 1, false}};
    for (const auto& c : cases) {
        void* buffer = center_->AllocBuffer(c.size);
        EXPECT_EQ(buffer != nullptr, c.given) << c.size;
        EXPECT_EQ(LiveBuffers(), c.given ? 1u : 0u);
        center_->FreeBuffer(buffer);
        EXPECT_EQ(LiveBuffers(), 0u);
    }
    int foreign = 0;
    center_->FreeBuffer(nullptr);
    center_->FreeBuffer(&foreign);  // not one of the library's: left alone
    EXPECT_EQ(LiveBuffers(), 0u);
}

TEST_F(CallCenterTest, AnIdIsRegisteredOnceAtATime) {
    TestPeer peer(center_);
    EXPECT_EQ(center_->CreateEndpoint(5, 0, nullptr, 0), nullptr);
    EXPECT_EQ(center_->CreateEndpoint(5, 1, &peer, 0), nullptr);
    EXPECT_EQ(center_->CreateEndpoint(5, 0, &peer, 1), nullptr);
    ICallEndpoint* first = center_->CreateEndpoint(5, 0, &peer, 0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(center_->CreateEndpoint(5, 0, &peer, 0), nullptr);
    // Another call center object of the same directory sees the same registrations.
    EXPECT_EQ(RS_InitializeCallCenter(dir_.c_str(), 3)->CreateEndpoint(5, 0, &peer, 0), nullptr);
    EXPECT_EQ(center_->ReleaseEndpoint(first), S_OK);
    EXPECT_EQ(center_->ReleaseEndpoint(first), E_INVALIDARG);
    ICallEndpoint* again = center_->CreateEndpoint(5, 0, &peer, 0);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(center_->ReleaseEndpoint(again), S_OK);
}

TEST_F(CallCenterTest, ALeftOverSocketFileIsTakenOver) {
    std::string path = relayhub::SocketPath(dir_, 6);
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    close(fd);  // the file stays, as after a killed process

    TestPeer peer(center_);
    ICallEndpoint* taker = center_->CreateEndpoint(6, 0, &peer, 0);
    ASSERT_NE(taker, nullptr);
    peer.SetEndpoint(taker);
    std::string text;
    EXPECT_EQ(CallText(taker, 6, kEcho, Bytes("mine"), &text), S_OK);
    EXPECT_EQ(text, "mine");
    EXPECT_EQ(center_->ReleaseEndpoint(taker), S_OK);
    EXPECT_NE(access(path.c_str(), F_OK), 0);
}

// A receiver that holds its deliveries until the test lets them go.
class GatedPeer final : public IMessageCallBack {
public:
    HRESULT QueryInterface(REFIID, void** out) override {
        *out = nullptr;
        return E_FAIL;
    }
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT OnMessage(ICallMessage*) override {
        std::unique_lock<std::mutex> lock(mutex_);
        entered_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return open_; });
        returned_ = true;
        return S_OK;
    }
    void WaitEntered() {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return entered_; });
    }
    void Open() {
        std::lock_guard<std::mutex> lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    bool Returned() {
        std::lock_guard<std::mutex> lock(mutex_);
        return returned_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool entered_ = false, open_ = false, returned_ = false;
};

TEST_F(CallCenterTest, ReleaseWaitsForTheDeliveryInProgressThenCallsFailAtOnce) {
    TestPeer caller(center_);
    GatedPeer gated;
    ICallEndpoint* a = center_->CreateEndpoint(11, 0, &caller, 0);
    ICallEndpoint* b = center_->CreateEndpoint(12, 0, &gated, 0);
    ASSERT_TRUE(a && b);
    auto call = std::async(std::launch::async,
                           [&] { return CallText(a, 12, kEcho, Bytes("x"), nullptr, 0); });
    gated.WaitEntered();
    auto release = std::async(std::launch::async, [&] { return center_->ReleaseEndpoint(b); });
    EXPECT_EQ(release.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout);
    gated.Open();
    EXPECT_EQ(release.get(), S_OK);
    EXPECT_TRUE(gated.Returned());
    EXPECT_EQ(call.get(), S_OK);  // its OnMessage returned before the endpoint went

    auto start = Clock::now();
    EXPECT_EQ(CallText(a, 12, kEcho, Bytes("x"), nullptr), RH_E_NO_ENDPOINT);
    EXPECT_LT(MillisecondsSince(start), 100);
    EXPECT_EQ(center_->ReleaseEndpoint(a), S_OK);
}

TEST_F(CallCenterTest, ReleaseEndsTheEndpointsOwnCallsInFlight) {
    TestPeer caller(center_);
    GatedPeer gated;
    ICallEndpoint* a = center_->CreateEndpoint(13, 0, &caller, 0);
    ICallEndpoint* b = center_->CreateEndpoint(14, 0, &gated, 0);
    ASSERT_TRUE(a && b);
    auto call = std::async(std::launch::async,
                           [&] { return CallText(a, 14, kEcho, Bytes("x"), nullptr, 0); });
    gated.WaitEntered();
    auto start = Clock::now();
    EXPECT_EQ(center_->ReleaseEndpoint(a), S_OK);
    EXPECT_EQ(call.get(), RH_E_RELEASED);
    EXPECT_LT(MillisecondsSince(start), 1000);
    gated.Open();
    EXPECT_EQ(center_->ReleaseEndpoint(b), S_OK);
}

TEST_F(CallCenterTest, AnEndpointMayReleaseItselfFromInsideOnMessage) {
    TestPeer caller(center_), leaving(center_);
    ICallEndpoint* a = center_->CreateEndpoint(15, 0, &caller, 0);
    ICallEndpoint* b = center_->CreateEndpoint(16, 0, &leaving, 0);
    ASSERT_TRUE(a && b);
    leaving.SetEndpoint(b);
    std::string text;
    EXPECT_EQ(CallText(a, 16, kRelease, {}, &text), S_OK);
    EXPECT_EQ(text, "bye");
    // The first call may still reach the connection of the reply just before the receiver
    // closes it; then the id is gone for good.
    HRESULT first = CallText(a, 16, kEcho, Bytes("x"), nullptr);
    EXPECT_TRUE(first == RH_E_PEER_GONE || first == RH_E_NO_ENDPOINT) << first;
    EXPECT_EQ(CallText(a, 16, kEcho, Bytes("x"), nullptr), RH_E_NO_ENDPOINT);
    EXPECT_EQ(center_->ReleaseEndpoint(b), E_INVALIDARG);
    ICallEndpoint* again = center_->CreateEndpoint(16, 0, &leaving, 0);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(center_->ReleaseEndpoint(again), S_OK);
    EXPECT_EQ(center_->ReleaseEndpoint(a), S_OK);
}

TEST_F(CallCenterTest, ACallFromInsideOnMessageToItsOwnIdIsDeliveredNested) {
    TestPeer caller(center_), self(center_);
    ICallEndpoint* a = center_->CreateEndpoint(17, 0, &caller, 0);
    ICallEndpoint* b = center_->CreateEndpoint(18, 0, &self, 0);
    ASSERT_TRUE(a && b);
    self.SetEndpoint(b);
    std::string text;
    EXPECT_EQ(CallText(a, 18, kCallBack, CallBackPayload(18, 0, "to myself"), &text), S_OK);
    ASSERT_EQ(text.size(), 4 + 9u);
    EXPECT_EQ(text.substr(0, 4), std::string(4, '\0'));  // the nested call's result, S_OK
    EXPECT_EQ(text.substr(4), "to myself");
    EXPECT_EQ(center_->ReleaseEndpoint(b), S_OK);
    EXPECT_EQ(center_->ReleaseEndpoint(a), S_OK);
    EXPECT_EQ(LiveBuffers(), 0u);
}

}  // namespace
