// The real updater where a run could fail for good: an installed version that is no version
// text, a pending record without its file, a slow but live download, a trickling version
// reply, and the part files of a killed updater.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>

#include <filesystem>
#include <string>
#include <vector>

#include "updater_fixture.h"
#include "windows.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using updtest::FilesIn;
using updtest::UpdaterTest;

// An installed version that is not a version text counts as missing, that is as 1.0.0.0: the
// service's 1.0.0.0 is not newer, its 1.0.0.1 is.
TEST_F(UpdaterTest, AnInstalledValueThatIsNoVersionTextCountsAs1000) {
    const char* installedValues[] = {"1.0.0.0-beta", "V1.0", "1..0", "1.0.0.1a", "", "<missing>"};
    for (const char* installed : installedValues) {
        for (const char* service : {"1.0.0.0", "1.0.0.1"}) {
            SCOPED_TRACE(std::string("installed \"") + installed + "\", service " + service);
            fs::remove_all(install_.DataDir());
            fs::create_directories(install_.DataDir());
            if (std::string(installed) == "<missing>") {
                WritePrivateProfileStringA("App", "Version", nullptr,
                                           install_.ConfigFile().c_str());
            } else {
                install_.SetConfig("App", "Version", installed);
            }
            server_.SetVersion(service);
            int downloads = server_.Downloads();
            bool newer = std::string(service) == "1.0.0.1";
            EXPECT_EQ(RunUpdater(install_.DataDir()), 0);
            EXPECT_EQ(server_.Downloads(), downloads + (newer ? 1 : 0));
            EXPECT_EQ(Record("Version"), newer ? service : "<missing>");
        }
    }
}

// An updater killed while it downloads leaves its part file; the next run removes it, and only
// it: part files of a running process and files of other names stay.
TEST_F(UpdaterTest, TheNextRunRemovesTheKilledUpdatersPartFile) {
    setenv("BRHTTP_STALL_TIMEOUT_MS", "30000", 1);  // the held download must not fail
    fs::create_directories(install_.DataDir());
    server_.SetServing(updtest::Serving::kHeld);
    pid_t killed = install_.StartUpdater(install_.DataDir());
    const std::string prefix = "BRDJ_1.0.0.2.exe." + std::to_string(killed) + "-";
    std::string part;
    for (int waited = 0; waited < 15000 && part.empty(); waited += 10) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        for (const std::string& name : FilesIn(install_.DataDir())) {
            if (name.compare(0, prefix.size(), prefix) == 0) {
                part = install_.DataDir() + name;
            }
        }
    }
    ASSERT_FALSE(part.empty()) << "no part file of the download";
    kill(killed, SIGKILL);
    ASSERT_EQ(updtest::WaitExit(killed), 128 + SIGKILL);
    ASSERT_TRUE(fs::exists(part));

    const std::string dead = std::to_string(killed);
    const std::string live = std::to_string(getpid());
    const std::vector<std::string> kept = {
        "BRDJ_1.0.0.1.exe." + live + "-3.part",  // its process runs
        "BRDJ_x.exe." + dead + "-1.part",        // not the name of an installer's part
        "BRDJ_1.0.0.1.exe." + dead + "-1",
        "Other_1.0.0.1.exe." + dead + "-1.part",
    };
    for (const std::string& name : kept) {
        ASSERT_TRUE(brtest::WriteFile(install_.DataDir() + name, "x"));
    }
    fs::create_directories(install_.DataDir() + "BRDJ_1.0.0.1.exe." + dead + "-2.part");
    server_.Release();
    server_.SetServing(updtest::Serving::kWhole);
    EXPECT_EQ(RunUpdater(install_.DataDir()), 0);
    EXPECT_EQ(Record("Version"), "1.0.0.2");
    std::vector<std::string> expected = kept;
    expected.push_back("BRDJ_1.0.0.1.exe." + dead + "-2.part");  // a folder
    expected.push_back("BRDJ_1.0.0.2.exe");
    expected.push_back("Config.ini");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FilesIn(install_.DataDir()), expected);
}

// A version service that trickles its reply, every byte well inside the stall limit, is given
// up at [Web] VersionQuerySeconds: the run ends with 0 and downloads nothing.
TEST_F(UpdaterTest, ATricklingVersionReplyEndsAtTheQueryLimit) {
    install_.SetConfig("Web", "VersionQuerySeconds", "2");
    fs::create_directories(install_.DataDir());
    server_.SetTricklingReply();
    auto start = Clock::now();
    EXPECT_EQ(RunUpdater(install_.DataDir(), 15000), 0);
    auto took = Clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(1900));
    EXPECT_LT(took, std::chrono::seconds(6));
    EXPECT_EQ(server_.Queries(), 1);
    EXPECT_EQ(server_.Downloads(), 0);
    EXPECT_EQ(FilesIn(install_.DataDir()), std::vector<std::string>{});
}

// A download that takes longer than DownloadWaitSeconds but keeps moving is waited for to its
// end: the limit counts from the last progress.
TEST_F(UpdaterTest, ASlowButLiveDownloadOutlastsTheWaitLimit) {
    install_.SetConfig("Web", "DownloadWaitSeconds", "2");
    fs::create_directories(install_.DataDir());
    server_.SetServing(updtest::Serving::kSlow);
    auto start = Clock::now();
    EXPECT_EQ(RunUpdater(install_.DataDir()), 0);
    EXPECT_GE(Clock::now() - start, std::chrono::seconds(4));  // twice the limit
    EXPECT_EQ(Record("Version"), "1.0.0.2");
    // Compared as a whole, not printed: the installer is 200 KiB.
    EXPECT_TRUE(brtest::ReadFile(install_.DataDir() + "BRDJ_1.0.0.2.exe") == server_.Installer());
}

}  // namespace
