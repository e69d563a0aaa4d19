// Starting, querying and stopping the real service through the exports, in the host's calling
// order, and a service that dies while the host waits for it.
#include <signal.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <string>
#include <thread>

#include "road_support.h"
#include "wait_until.h"

namespace proxytest {
namespace {

using namespace std::chrono_literals;

// True when every thread of the process is in the stopped state: SIGSTOP takes effect on each
// thread as it next runs, so a busy machine can let a thread answer one more call after kill().
bool AllThreadsStopped(DWORD pid) {
    const std::filesystem::path tasks = "/proc/" + std::to_string(pid) + "/task";
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator(tasks, error)) {
        std::ifstream stat(task.path() / "stat");
        std::string line;
        std::getline(stat, line);
        const size_t close = line.rfind(')');
        if (close == std::string::npos || close + 2 >= line.size() || line[close + 2] != 'T') {
            return false;
        }
    }
    return !error;
}

TEST_F(RoadTest, HostCallingOrderPlaysAndStopsTheService) {
    RecordingReceiver receiver(journal_);
    RecordingSink sink(journal_, "A");

    ASSERT_TRUE(InitProxy());  // starts the service
    ASSERT_TRUE(WaitForService());
    ASSERT_EQ(ServiceProcesses().size(), 1u);
    IPlayerCore* player = GetPlayerCoreProxy();
    ASSERT_TRUE(StartPlaying(player, &receiver));
    RegistNotify(&sink);
    EXPECT_EQ(player->Pause(), 0);
    EXPECT_TRUE(journal_.WaitFor("PlayPause(1)", 1, 3000));
    UnRegistNotify(&sink);

    EXPECT_TRUE(StopCoreServer());  // the service's answer
    EXPECT_TRUE(WaitForNoService());
    EXPECT_TRUE(UnInitProxy());

    EXPECT_EQ(LogCount("StopCoreServer", "StopCoreServer ok"), 0);  // answered: no fallback
    EXPECT_EQ(LogCount("UnInitProxy", "UnInitProxy ok"), 1);
    EXPECT_EQ(journal_.Count("A.Lost"), 0);
    // The library's own lines in the order of the calls.
    const std::string log = Log();
    const size_t start = log.find("StartCoreServer: StartCoreServer ok");
    const size_t init = log.find("InitProxy: InitProxy ok");
    const size_t running = log.find("IsRunCoreServer: IsRunCoreServer true");
    const size_t uninit = log.find("UnInitProxy: UnInitProxy ok");
    ASSERT_NE(uninit, std::string::npos) << log;
    EXPECT_LT(start, init);
    EXPECT_LT(init, running);
    EXPECT_LT(running, uninit);
}

TEST_F(RoadTest, StopWithTheServiceGoneFallsBackToTheKill) {
    ASSERT_TRUE(InitProxy());
    ASSERT_TRUE(WaitForService());
    const std::vector<DWORD> service = ServiceProcesses();
    ASSERT_EQ(service.size(), 1u);
    KillProcess(service[0]);

    const auto stopping = Clock::now();
    EXPECT_TRUE(StopCoreServer());
    EXPECT_LT(Clock::now() - stopping, 1000ms);
    EXPECT_EQ(LogCount("StopCoreServer", "StopCoreServer ok"), 1);
    EXPECT_FALSE(IsRunCoreServer());
    EXPECT_TRUE(UnInitProxy());
}

// The service is held still (SIGSTOP) while a command waits for it, then killed: the command
// fails at once with its failure value, not after the 1000-hour time-out.
TEST_F(RoadTest, CommandFailsWithinASecondWhenTheServiceDiesDuringIt) {
    ASSERT_TRUE(InitProxy());
    ASSERT_TRUE(WaitForService());
    IPlayerCore* player = GetPlayerCoreProxy();
    ASSERT_EQ(player->SetVolume(30), 0);
    const std::vector<DWORD> service = ServiceProcesses();
    ASSERT_EQ(service.size(), 1u);

    ASSERT_EQ(kill(static_cast<pid_t>(service[0]), SIGSTOP), 0);
    ASSERT_TRUE(brtest::WaitUntil([&] { return AllThreadsStopped(service[0]); }));
    // Detached, so that a call which never returned could not hold the test up at its end.
    auto promise = std::make_shared<std::promise<int>>();
    std::future<int> result = promise->get_future();
    std::thread([player, promise] { promise->set_value(player->SetVolume(60)); }).detach();
    ASSERT_EQ(result.wait_for(500ms), std::future_status::timeout);  // it waits for the service
    const auto killed = Clock::now();
    KillProcess(service[0]);
    ASSERT_EQ(result.wait_for(1000ms), std::future_status::ready);
    EXPECT_LT(Clock::now() - killed, 1000ms);
    EXPECT_EQ(result.get(), 1);  // SetVolume's failure value

    EXPECT_FALSE(IsRunCoreServer());
    EXPECT_TRUE(StopCoreServer());
    EXPECT_TRUE(UnInitProxy());
}

}  // namespace
}  // namespace proxytest
