// Stopping the watchdog while it waits for g_ProxyLock: the stopping export holds the lock,
// so a watchdog that blocked on it would never end and the stop would never return.
#include <chrono>
#include <cstdlib>
#include <future>
#include <thread>

#include "exports_fixture.h"
#include "msg_ids.h"
#include "process_list.h"
#include "proxy_lock.h"
#include "wait_until.h"

namespace proxytest {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST_F(ExportsRoad, StopEndsAWatchdogThatWaitsForTheLock) {
    const auto started = Clock::now();
    ASSERT_TRUE(InitProxy());  // the watchdog's first poll comes 12 s from here
    ASSERT_EQ(Channels(), std::vector<int>{CHANNEL_QUERY_RUNNING});

    std::promise<std::chrono::milliseconds> stopped;
    std::future<std::chrono::milliseconds> stopTime = stopped.get_future();
    std::thread host([&] {
        std::this_thread::sleep_until(started + 11s);
        CAutoLock lock;  // held across the watchdog's first poll
        std::this_thread::sleep_until(started + 14s);
        const auto stopping = Clock::now();
        StopCoreServer();
        stopped.set_value(
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - stopping));
    });
    if (stopTime.wait_for(30s) != std::future_status::ready) {
        ADD_FAILURE() << "StopCoreServer did not return: the watchdog and the stop deadlock";
        std::_Exit(1);
    }
    host.join();
    EXPECT_LT(stopTime.get(), 1000ms);

    // The poll that waited was never made, and no other follows.
    EXPECT_TRUE(brtest::NothingFor(2500ms, [&] { return Channels().size() != 2; }));
    EXPECT_EQ(Channels(), (std::vector<int>{CHANNEL_QUERY_RUNNING, CHANNEL_STOP}));
    EXPECT_EQ(LogCount("IsRunCoreServer", "IsRunCoreServer true"), 1);
}

TEST_F(ExportsRoad, WatchdogPollsEveryTwoSecondsAfterTwelve) {
    const auto started = Clock::now();
    ASSERT_TRUE(InitProxy());
    ASSERT_TRUE(service_.WaitForRequests(2, 14000));  // the first poll
    const auto first = Clock::now() - started;
    ASSERT_TRUE(service_.WaitForRequests(3, 4000));  // the second
    const auto second = Clock::now() - started;
    EXPECT_GE(first, 11900ms);
    EXPECT_LT(first, 13000ms);
    EXPECT_GE(second - first, 1900ms);
    EXPECT_LT(second - first, 2500ms);
    EXPECT_EQ(Channels(), std::vector<int>(3, CHANNEL_QUERY_RUNNING));
    // Each poll logs its answer once the reply is in.
    for (int i = 0; i < 100 && LogCount("IsRunCoreServer", "IsRunCoreServer true") < 3; ++i) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_EQ(LogCount("IsRunCoreServer", "IsRunCoreServer true"), 3);
}

// StartCoreServer with the service running starts no process but the watchdog when none runs:
// after StopCoreServer has ended the first watchdog, a new StartCoreServer starts a fresh one,
// whose first poll comes 12 s after that start (the first one's would have come 3 s earlier).
TEST_F(ExportsRoad, StartCoreServerWithTheServiceRunningStartsAFreshWatchdogOnly) {
    const auto initialised = Clock::now();
    ASSERT_TRUE(InitProxy());
    EXPECT_TRUE(StopCoreServer());  // the fake answers and runs on
    std::this_thread::sleep_until(initialised + 3s);
    const auto restarted = Clock::now();
    EXPECT_TRUE(StartCoreServer());
    EXPECT_TRUE(StartCoreServer());  // a watchdog runs: no second one
    EXPECT_EQ(Channels(), (std::vector<int>{CHANNEL_QUERY_RUNNING, CHANNEL_STOP,
                                            CHANNEL_QUERY_RUNNING, CHANNEL_QUERY_RUNNING}));
    EXPECT_TRUE(brtest::ProcessesNamed("BrCoreService.exe").empty());

    ASSERT_TRUE(service_.WaitForRequests(5, 15000));  // the fresh watchdog's first poll
    const auto first = Clock::now();
    EXPECT_GE(first - restarted, 11900ms);
    ASSERT_TRUE(service_.WaitForRequests(6, 4000));
    EXPECT_GE(Clock::now() - first, 1900ms);  // one watchdog: one poll per 2 s
    EXPECT_EQ(Channels(), (std::vector<int>{CHANNEL_QUERY_RUNNING, CHANNEL_STOP,
                                            CHANNEL_QUERY_RUNNING, CHANNEL_QUERY_RUNNING,
                                            CHANNEL_QUERY_RUNNING, CHANNEL_QUERY_RUNNING}));
}

}  // namespace
}  // namespace proxytest
