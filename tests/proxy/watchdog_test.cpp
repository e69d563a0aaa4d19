// The watchdog against the real service, in real time: its first poll comes 12 s after
// InitProxy, each later one 2 s after the previous.
#include <atomic>
#include <set>
#include <thread>

#include "road_support.h"
#include "wait_until.h"

namespace proxytest {
namespace {

using namespace std::chrono_literals;

// Stops the watchdog from inside its own notification.
class StoppingSink final : public RecordingSink {
public:
    using RecordingSink::RecordingSink;
    void OnServiceLost() override {
        RecordingSink::OnServiceLost();
        StopCoreServer();
        journal_.Add(name_ + ".Stopped");
    }
};

// Ends every service process of the root as soon as it appears, while it runs: the service
// stays gone for as many polls as it likes.
class ServiceKiller {
public:
    ServiceKiller()
        : thread_([this] {
              while (!stop_) {
                  for (DWORD pid : ServiceProcesses()) {
                      KillProcess(pid);
                      std::lock_guard<std::mutex> hold(lock_);
                      killed_.insert(pid);
                  }
                  std::this_thread::sleep_for(10ms);
              }
          }) {}
    ~ServiceKiller() { Stop(); }
    void Stop() {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    size_t Killed() {
        std::lock_guard<std::mutex> hold(lock_);
        return killed_.size();
    }

private:
    std::atomic<bool> stop_{false};
    std::mutex lock_;
    std::set<DWORD> killed_;
    std::thread thread_;
};

// The service stays gone for several polls: every poll resets the proxies and starts the
// service again, the sinks hear OnServiceLost once for the whole loss and OnServiceRunning once
// when it answers again; with no sink registered the resets and restarts happen all the same.
class LongLoss : public RoadTest, public ::testing::WithParamInterface<bool> {};

TEST_P(LongLoss, EveryPollResetsAndRestartsAndTheSinksHearOnce) {
    const bool withSink = GetParam();
    RecordingSink sink(journal_, "A");
    ASSERT_TRUE(InitProxy());
    ASSERT_TRUE(WaitForService());
    if (withSink) {
        RegistNotify(&sink);
    }
    {
        ServiceKiller killer;
        // The first service, then the one started at each of three polls (12, 14 and 16 s).
        const auto deadline = Clock::now() + 22s;
        while (killer.Killed() < 4 && Clock::now() < deadline) {
            std::this_thread::sleep_for(50ms);
        }
        ASSERT_GE(killer.Killed(), 4u);
    }
    EXPECT_GE(LogCount("CP2PProxy::Reset", "CP2PProxy::Reset ok"), 3);
    if (withSink) {
        ASSERT_TRUE(journal_.WaitFor("A.Running", 1, 6000));
        EXPECT_EQ(journal_.Lines(), (std::vector<std::string>{"A.Lost", "A.Running"}));
        UnRegistNotify(&sink);
    } else {
        ASSERT_TRUE(WaitForService(6000));
    }
    EXPECT_EQ(ServiceProcesses().size(), 1u);
    EXPECT_TRUE(StopCoreServer());
    EXPECT_TRUE(UnInitProxy());
}

INSTANTIATE_TEST_SUITE_P(Sinks, LongLoss, ::testing::Values(true, false), [](const auto& info) {
    return info.param ? "WithASink" : "WithoutSinks";
});

TEST_F(RoadTest, WatchdogRestartsAKilledServiceAndTellsTheSinksOnce) {
    RecordingReceiver receiver(journal_);
    RecordingSink a(journal_, "A"), b(journal_, "B");
    const auto started = Clock::now();
    ASSERT_TRUE(InitProxy());
    ASSERT_TRUE(WaitForService());
    RegistNotify(&a);
    RegistNotify(&b);
    RegistNotify(&a);  // kept once
    IPlayerCore* player = GetPlayerCoreProxy();
    ASSERT_TRUE(StartPlaying(player, &receiver));
    const std::vector<DWORD> first = ServiceProcesses();
    ASSERT_EQ(first.size(), 1u);
    KillProcess(first[0]);

    ASSERT_TRUE(journal_.WaitFor("B.Lost", 1, 16000));
    EXPECT_GE(Clock::now() - started, 11900ms);  // at the first poll
    ASSERT_TRUE(journal_.WaitFor("B.Running", 1, 5000));
    // One more poll: nothing more to say.
    const size_t heard = journal_.Lines().size();
    EXPECT_TRUE(brtest::NothingFor(2500ms, [&] { return journal_.Lines().size() != heard; }));

    // The player's loss came first (the reset precedes the sinks), then each sink in order.
    EXPECT_EQ(journal_.Lines(), (std::vector<std::string>{"PlayStart", "PlayFail(-1)", "A.Lost",
                                                          "B.Lost", "A.Running", "B.Running"}));
    const std::vector<DWORD> second = ServiceProcesses();
    ASSERT_EQ(second.size(), 1u);
    EXPECT_NE(second[0], first[0]);
    EXPECT_TRUE(IsRunCoreServer());
    EXPECT_EQ(player->SetVolume(20), 0);  // the same player core serves the new service

    UnRegistNotify(&a);
    UnRegistNotify(&b);
    EXPECT_TRUE(StopCoreServer());
    EXPECT_TRUE(UnInitProxy());
}

TEST_F(RoadTest, StopDuringTheFirstTenSecondsEndsTheWatchdogAtOnce) {
    const auto started = Clock::now();
    ASSERT_TRUE(InitProxy());
    ASSERT_TRUE(WaitForService());
    const auto stopping = Clock::now();
    EXPECT_TRUE(StopCoreServer());
    EXPECT_LT(Clock::now() - stopping, 1000ms);
    EXPECT_TRUE(WaitForNoService());
    const int queries = LogCount("IsRunCoreServer", "IsRunCoreServer true") +
                        LogCount("IsRunCoreServer", "IsRunCoreServer false");

    // No poll at 12 s, and no restart of the stopped service.
    std::this_thread::sleep_until(started + 13s);
    EXPECT_EQ(LogCount("IsRunCoreServer", "IsRunCoreServer true") +
                  LogCount("IsRunCoreServer", "IsRunCoreServer false"),
              queries);
    EXPECT_TRUE(ServiceProcesses().empty());
    EXPECT_TRUE(UnInitProxy());
}

TEST_F(RoadTest, SinkThatStopsTheServiceEndsTheWatchdogBeforeTheNextSink) {
    StoppingSink a(journal_, "A");
    RecordingSink b(journal_, "B");
    ASSERT_TRUE(InitProxy());
    ASSERT_TRUE(WaitForService());
    RegistNotify(&a);
    RegistNotify(&b);
    const std::vector<DWORD> first = ServiceProcesses();
    ASSERT_EQ(first.size(), 1u);
    KillProcess(first[0]);

    ASSERT_TRUE(journal_.WaitFor("A.Stopped", 1, 16000));
    const int queries = LogCount("IsRunCoreServer", "IsRunCoreServer true") +
                        LogCount("IsRunCoreServer", "IsRunCoreServer false");
    // Two polls' time: no sink hears more, no query is made.
    const size_t heard = journal_.Lines().size();
    EXPECT_TRUE(brtest::NothingFor(4500ms, [&] {
        return journal_.Lines().size() != heard ||
               LogCount("IsRunCoreServer", "IsRunCoreServer true") +
                       LogCount("IsRunCoreServer", "IsRunCoreServer false") !=
                   queries;
    }));
    EXPECT_EQ(journal_.Lines(), (std::vector<std::string>{"A.Lost", "A.Stopped"}));
    EXPECT_EQ(LogCount("IsRunCoreServer", "IsRunCoreServer true") +
                  LogCount("IsRunCoreServer", "IsRunCoreServer false"),
              queries);
    UnRegistNotify(&a);
    UnRegistNotify(&b);
    EXPECT_TRUE(UnInitProxy());
}

}  // namespace
}  // namespace proxytest
