// The watchdog against the real service, in real time: its first poll comes 12 s after
// InitProxy, each later one 2 s after the previous.
#include <thread>

#include "road_support.h"

namespace roadtest {
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
    std::this_thread::sleep_for(2500ms);  // one more poll: nothing more to say

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
    std::this_thread::sleep_for(4500ms);  // two polls' time
    EXPECT_EQ(journal_.Lines(), (std::vector<std::string>{"A.Lost", "A.Stopped"}));
    EXPECT_EQ(LogCount("IsRunCoreServer", "IsRunCoreServer true") +
                  LogCount("IsRunCoreServer", "IsRunCoreServer false"),
              queries);
    UnRegistNotify(&a);
    UnRegistNotify(&b);
    EXPECT_TRUE(UnInitProxy());
}

}  // namespace
}  // namespace roadtest
