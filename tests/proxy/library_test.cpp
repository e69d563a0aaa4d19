// The library as a host sees it: its dynamic symbol table, its objects before and after
// InitProxy, a second InitProxy, and the kill of the old service program.
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <set>

#include "road_support.h"
#include "wait_until.h"

namespace proxytest {
namespace {

TEST(ProxyLibrary, ShowsExactlyTheFifteenExports) {
    FILE* nm = popen("nm -D --defined-only " BR_BIN_DIR "/libBrServiceProxy.so", "r");
    ASSERT_NE(nm, nullptr);
    std::multiset<std::string> names;
    char line[512];
    while (std::fgets(line, sizeof line, nm)) {
        char name[256];
        if (std::sscanf(line, "%*s %*s %255s", name) == 1) {
            names.insert(name);
        }
    }
    ASSERT_EQ(pclose(nm), 0);
    const std::multiset<std::string> expected = {
        "InitProxy",           "UnInitProxy",    "GetPlayerCoreProxy", "IsRunCoreServer",
        "StartCoreServer",     "StopCoreServer", "RegistNotify",       "UnRegistNotify",
        "P2PStartDown",        "P2PStopDown",    "P2PDelRes",          "P2PGetResInfo",
        "P2PEnableVIPService", "P2PStopAll",     "P2PSetSysMsgWnd"};
    EXPECT_EQ(names, expected);
}

TEST_F(RoadTest, PlayerCoreIsNoneBeforeInitProxyAndTheSameObjectAfter) {
    EXPECT_EQ(GetPlayerCoreProxy(), nullptr);
    ASSERT_TRUE(InitProxy());
    IPlayerCore* player = GetPlayerCoreProxy();
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(GetPlayerCoreProxy(), player);
    ASSERT_TRUE(WaitForService());
    EXPECT_EQ(GetPlayerCoreProxy(), player);
    EXPECT_EQ(player->SetVolume(40), 0);  // it reaches the engine
    EXPECT_EQ(player->QueryNumber(0), 40);
    EXPECT_TRUE(StopCoreServer());
    EXPECT_TRUE(UnInitProxy());
}

TEST_F(RoadTest, SecondInitProxyStartsNoSecondService) {
    ASSERT_TRUE(InitProxy());
    ASSERT_TRUE(WaitForService());
    const std::vector<DWORD> service = ServiceProcesses();
    ASSERT_EQ(service.size(), 1u);
    EXPECT_TRUE(InitProxy());
    EXPECT_TRUE(brtest::NothingFor(std::chrono::milliseconds(500),
                                   [&] { return ServiceProcesses() != service; }));
    EXPECT_EQ(ServiceProcesses(), service);
    EXPECT_EQ(LogCount("InitProxy", "InitProxy ok"), 2);
    EXPECT_EQ(LogCount("StartCoreServer", "StartCoreServer ok"), 1);
    EXPECT_TRUE(StopCoreServer());
    EXPECT_TRUE(UnInitProxy());
}

// The stop falls back to killing the old service program when it cannot ask the service; only
// the first process in snapshot order whose name contains "brcoreserver.exe" is ended.
TEST_F(RoadTest, KillOfTheOldServiceEndsOnlyTheFirstMatch) {
    const pid_t a = StartSleeperNamed("brcoreserver.exe");
    const pid_t b = StartSleeperNamed("old_brcoreserver");  // reported as "old_brcoreserver.exe"
    const pid_t upper = StartSleeperNamed("BrCoreServer");  // the test is case-sensitive
    const pid_t service = StartSleeperNamed("BrCoreService");
    ASSERT_GT(a, 0);
    ASSERT_GT(b, 0);
    ASSERT_GT(upper, 0);
    ASSERT_GT(service, 0);
    const DWORD first = static_cast<DWORD>(std::min(a, b));
    const DWORD second = static_cast<DWORD>(std::max(a, b));

    EXPECT_TRUE(StopCoreServer());  // no message center yet: the fallback
    EXPECT_FALSE(IsRunning(first));
    EXPECT_TRUE(IsRunning(second));
    EXPECT_TRUE(IsRunning(static_cast<DWORD>(upper)));
    EXPECT_TRUE(IsRunning(static_cast<DWORD>(service)));
    EXPECT_EQ(LogCount("StopCoreServer", "StopCoreServer ok"), 1);

    EXPECT_TRUE(StopCoreServer());
    EXPECT_FALSE(IsRunning(second));
    EXPECT_TRUE(IsRunning(static_cast<DWORD>(upper)));
    EXPECT_TRUE(IsRunning(static_cast<DWORD>(service)));

    EXPECT_TRUE(StopCoreServer());  // nothing left to match
    EXPECT_EQ(LogCount("StopCoreServer", "StopCoreServer ok"), 3);
}

// Inside the service's own process the library neither asks nor starts anything.
TEST_F(RoadTest, InsideTheServiceTheServiceIsRunningAndNothingStarts) {
    const std::string copy = root_.Path() + "/BrCoreService";
    std::filesystem::copy_file(BR_TEST_BIN_DIR "/proxy_in_service_helper", copy);
    FILE* helper = popen(copy.c_str(), "r");
    ASSERT_NE(helper, nullptr);
    char line[64] = {};
    const bool read = std::fgets(line, sizeof line, helper) != nullptr;
    EXPECT_EQ(pclose(helper), 0);
    ASSERT_TRUE(read);
    EXPECT_STREQ(line, "1 1\n");
    EXPECT_EQ(LogCount("StartCoreServer", "StartCoreServer ok"), 1);
    EXPECT_EQ(Log().find("IsRunCoreServer"), std::string::npos) << Log();
    EXPECT_TRUE(ServiceProcesses().empty());
}

}  // namespace
}  // namespace proxytest
