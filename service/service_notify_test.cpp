// The notification gate: a notification raised while the message center's Init runs waits for
// it, the message center's shutdown never overlaps a notification's send on an engine thread,
// and a notification racing the shutdown is either sent whole or dropped.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <thread>
#include <vector>

#include "fake_p2p_engine.h"
#include "fake_player_core.h"
#include "msg_ids.h"
#include "p2p_stub.h"
#include "play_core_stub.h"
#include "service_globals.h"
#include "service_test_fixture.h"

namespace servicetest {
namespace {

using namespace std::chrono_literals;

class ServiceNotifyTest : public ServiceTest {
protected:
    void TearDown() override {
        proxy_->Unhold();
        ServiceTest::TearDown();
    }

    FakePlayerCore core_;
    CPlayCoreStub stub_{&core_};
};

// The program publishes the message center before its Init, which stores the endpoint only after
// the endpoint has begun to deliver. A notification raised in between waits for Init, then goes;
// one whose message center is shut down without Init is dropped and its thread let go.
TEST_F(ServiceNotifyTest, ANotificationRaisedBeforeInitHasReturnedWaitsForIt) {
    ShutDownCenter();
    for (bool initialised : {true, false}) {
        SCOPED_TRACE(initialised ? "Init" : "shut down without Init");
        center_ = new CServiceMsgCenter;
        g_ServiceMsgCenter = center_;
        std::future<void> engine =
            std::async(std::launch::async, [this] { stub_.NotifyPlayStart(); });
        EXPECT_EQ(engine.wait_for(200ms), std::future_status::timeout)
            << "the notification did not wait for Init";
        if (initialised) {
            ASSERT_TRUE(center_->Init(SERVICE_ENDPOINT_ID));
            ASSERT_EQ(engine.wait_for(5s), std::future_status::ready);
            ASSERT_TRUE(proxy_->WaitForCount(1));
            EXPECT_EQ(Hex(proxy_->Messages()[0].bytes), "01 00 00 00");
        } else {
            ShutDownCenter();
            ASSERT_EQ(engine.wait_for(5s), std::future_status::ready);
            EXPECT_EQ(proxy_->Messages().size(), 1u)
                << "sent through a message center never set up";
        }
        ShutDownCenter();
    }
}

TEST_F(ServiceNotifyTest, UnInitWaitsForASendUnderWay) {
    proxy_->Hold();
    std::thread engine([this] { stub_.NotifyPlayStart(); });
    ASSERT_TRUE(proxy_->WaitUntilHolding());

    std::future<bool> unInit = std::async(std::launch::async, [this] { return center_->UnInit(); });
    EXPECT_EQ(unInit.wait_for(200ms), std::future_status::timeout)
        << "the endpoint went while a notification was being sent through it";

    proxy_->Unhold();
    engine.join();
    ASSERT_EQ(unInit.wait_for(5s), std::future_status::ready);
    EXPECT_TRUE(unInit.get());
    // The gate stays closed: later notifications are dropped.
    stub_.NotifyPlayStop();
    EXPECT_EQ(proxy_->Messages().size(), 1u);
}

TEST_F(ServiceNotifyTest, DeletingTheMessageCenterClearsThePointer) {
    CServiceMsgCenter* center = center_;
    center_ = nullptr;
    center->UnInit();
    // Deleted while still set: the pointer is cleared with it, so no sender can reach it.
    delete center;
    EXPECT_EQ(g_ServiceMsgCenter.load(), nullptr);
    stub_.NotifyPlayStart();
    EXPECT_TRUE(proxy_->Messages().empty());
}

TEST_F(ServiceNotifyTest, AnotherMessageCenterDoesNotCloseThisOne) {
    {
        CServiceMsgCenter other;
        other.UnInit();
    }
    stub_.NotifyPlayStart();
    EXPECT_EQ(proxy_->Messages().size(), 1u);
}

TEST_F(ServiceNotifyTest, NotificationsRacingTheShutdownAreSentWholeOrDropped) {
    fakep2p::Reset();
    CP2PStub p2p(fakep2p::Functions());
    std::atomic<bool> stop{false};
    std::atomic<int> raised{0};
    std::vector<std::thread> engines;
    for (int i = 0; i < 4; ++i) {
        engines.emplace_back([&, i] {
            while (!stop.load()) {
                if (i % 2 == 0) {
                    stub_.NotifyPlayFail(i);
                } else {
                    p2p.OnP2PNotify3(Sign(1, 2), i);
                }
                ++raised;
            }
        });
    }
    while (raised.load() < 200) {
        std::this_thread::sleep_for(1ms);
    }
    // The program's order: UnInit, clear the pointer, delete.
    ShutDownCenter();
    const size_t sent = proxy_->Messages().size();
    std::this_thread::sleep_for(50ms);
    stop = true;
    for (std::thread& engine : engines) {
        engine.join();
    }
    EXPECT_EQ(proxy_->Messages().size(), sent) << "a notification went after the shutdown";
    for (const Received& message : proxy_->Messages()) {
        EXPECT_TRUE(message.bytes.size() == 8 || message.bytes.size() == 16);
    }
}

}  // namespace
}  // namespace servicetest
