// The real updater in a test installation, against a version service and download host on
// 127.0.0.1: the whole road with the client's launcher, the download outcomes, a second
// instance, the version comparison and hostile version texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>

#include "updater_fixture.h"
#include "windows.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using updtest::FilesIn;
using updtest::UpdaterTest;

TEST_F(UpdaterTest, TheWholeRoadThroughTheClient) {
    const std::string installer = install_.DataDir() + "BRDJ_1.0.0.2.exe";

    // A fresh machine: the check creates the data folder and starts the updater, which asks
    // the service, downloads the newer installer and records it.
    ASSERT_EQ(install_.RunClient("check"), 0);
    ASSERT_TRUE(WaitForRecord());
    ASSERT_TRUE(updtest::WaitNoProcess("BRDJUpdate.exe"));
    EXPECT_EQ(server_.Queries(), 1);
    EXPECT_EQ(server_.LastDownload(), "/inspack/BRDJ_1.0.0.2.exe");
    EXPECT_EQ(Record("Version"), "1.0.0.2");
    EXPECT_EQ(Record("UpdateFile"), installer);
    EXPECT_EQ(brtest::ReadFile(installer), server_.Installer());
    EXPECT_EQ(FilesIn(install_.DataDir()),
              (std::vector<std::string>{"BRDJ_1.0.0.2.exe", "Config.ini"}));

    // The next check finds it pending and starts nothing.
    ASSERT_EQ(install_.RunClient("check"), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_TRUE(updtest::ProcessesNamed("BRDJUpdate.exe").empty());
    EXPECT_EQ(server_.Queries(), 1);

    // The close runs the installer silently; the record stays.
    ASSERT_EQ(install_.RunClient("close"), 0);
    ASSERT_TRUE(updtest::WaitForFile(installerArgs_));
    EXPECT_EQ(brtest::ReadFile(installerArgs_), "show=0|1|/S|");
    EXPECT_EQ(Record("Version"), "1.0.0.2");

    // The installer has gone: the check clears the record and starts the updater, which asks
    // again and, the service now naming the installed version, records nothing.
    fs::remove(installer);
    install_.SetConfig("App", "Version", "1.0.0.2");
    ASSERT_EQ(install_.RunClient("check"), 0);
    ASSERT_TRUE(WaitForQueriesAndEnd(2));
    EXPECT_EQ(server_.Queries(), 2);
    EXPECT_EQ(server_.Downloads(), 1);
    EXPECT_EQ(Record("Version"), "");
    EXPECT_EQ(Record("UpdateFile"), "");
}

// Once the installer has done its work (the installed version now is the recorded one), the
// next check removes the installer, clears the record and starts the updater, which asks the
// service and, nothing newer being offered, records nothing; no close runs the installer again.
TEST_F(UpdaterTest, AfterTheInstallTheRecordGoes) {
    const std::string installer = install_.DataDir() + "BRDJ_1.0.0.2.exe";
    ASSERT_EQ(install_.RunClient("check"), 0);
    ASSERT_TRUE(WaitForRecord());
    ASSERT_TRUE(updtest::WaitNoProcess("BRDJUpdate.exe"));
    ASSERT_EQ(install_.RunClient("close"), 0);
    ASSERT_TRUE(updtest::WaitForFile(installerArgs_));
    fs::remove(installerArgs_);
    install_.SetConfig("App", "Version", "1.0.0.2");  // what the installer does

    ASSERT_EQ(install_.RunClient("check"), 0);
    ASSERT_TRUE(WaitForQueriesAndEnd(2));
    EXPECT_EQ(server_.Queries(), 2);
    EXPECT_EQ(server_.Downloads(), 1);
    EXPECT_EQ(Record("Version"), "");
    EXPECT_EQ(Record("UpdateFile"), "");
    EXPECT_EQ(FilesIn(install_.DataDir()), std::vector<std::string>{"Config.ini"});
    ASSERT_EQ(install_.RunClient("close"), 0);
    EXPECT_FALSE(updtest::WaitForFile(installerArgs_, 500));
}

// "Version" recorded and "UpdateFile" empty: every check starts the updater without clearing
// anything, and the updater asks the service, then ends without downloading again.
TEST_F(UpdaterTest, AVersionRecordedWithoutItsFileEndsAfterTheQuery) {
    fs::create_directories(install_.DataDir());
    ASSERT_EQ(RunUpdater(install_.DataDir()), 0);
    ASSERT_EQ(server_.Downloads(), 1);
    WritePrivateProfileStringA("Update", "UpdateFile", "", install_.RecordFile().c_str());

    for (int check = 1; check <= 2; ++check) {
        SCOPED_TRACE(check);
        ASSERT_EQ(install_.RunClient("check"), 0);
        ASSERT_TRUE(WaitForQueriesAndEnd(1 + check));
        EXPECT_EQ(server_.Queries(), 1 + check);
        EXPECT_EQ(server_.Downloads(), 1);
        EXPECT_EQ(Record("Version"), "1.0.0.2");
        EXPECT_EQ(Record("UpdateFile"), "");
    }
}

// Only a finished download is recorded; a failed one leaves neither a record nor a file.
TEST_F(UpdaterTest, DownloadOutcomes) {
    const struct {
        const char* name;
        updtest::Serving serving;
        bool recorded;
    } cases[] = {
        {"finished", updtest::Serving::kWhole, true},
        {"404", updtest::Serving::kMissing, false},
        {"server dies mid-body", updtest::Serving::kDies, false},
        {"server stalls mid-body", updtest::Serving::kStalls, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(install_.DataDir());
        fs::create_directories(install_.DataDir());
        server_.SetServing(c.serving);
        int downloadsBefore = server_.Downloads();
        auto start = Clock::now();
        EXPECT_EQ(RunUpdater(install_.DataDir()), 0);
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
        EXPECT_EQ(server_.Downloads(), downloadsBefore + 1);
        if (c.recorded) {
            EXPECT_EQ(Record("Version"), "1.0.0.2");
            EXPECT_EQ(Record("UpdateFile"), install_.DataDir() + "BRDJ_1.0.0.2.exe");
            EXPECT_EQ(FilesIn(install_.DataDir()),
                      (std::vector<std::string>{"BRDJ_1.0.0.2.exe", "Config.ini"}));
        } else {
            EXPECT_EQ(FilesIn(install_.DataDir()), std::vector<std::string>{});
        }
    }
}

TEST_F(UpdaterTest, ASecondInstanceEndsAtOnceWhileTheFirstDownloads) {
    setenv("BRHTTP_STALL_TIMEOUT_MS", "30000", 1);  // the held download must not fail
    fs::create_directories(install_.DataDir());
    server_.SetServing(updtest::Serving::kHeld);
    pid_t first = install_.StartUpdater(install_.DataDir());
    ASSERT_TRUE(server_.WaitForDownload(15000));

    auto start = Clock::now();
    EXPECT_EQ(RunUpdater(install_.DataDir()), 0);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));
    EXPECT_EQ(server_.Queries(), 1);  // the second did not ask the service

    server_.Release();
    EXPECT_EQ(updtest::WaitExit(first), 0);
    EXPECT_EQ(Record("Version"), "1.0.0.2");
    EXPECT_EQ(brtest::ReadFile(install_.DataDir() + "BRDJ_1.0.0.2.exe"), server_.Installer());

    // Once every instance has ended a new start proceeds: it asks, finds the record pending
    // and ends.
    EXPECT_EQ(RunUpdater(install_.DataDir()), 0);
    EXPECT_EQ(server_.Queries(), 2);
    EXPECT_EQ(server_.Downloads(), 1);
}

// A download that never reports an outcome (the server holds the body, the stall limit is far
// off) ends at the configured wait limit: exit code 0, nothing recorded, and no file left in
// the data folder, not even the library's unfinished part file.
TEST_F(UpdaterTest, TheDownloadWaitEndsAtItsLimit) {
    setenv("BRHTTP_STALL_TIMEOUT_MS", "60000", 1);
    install_.SetConfig("Web", "DownloadWaitSeconds", "2");
    fs::create_directories(install_.DataDir());
    server_.SetServing(updtest::Serving::kHeld);
    auto start = Clock::now();
    EXPECT_EQ(RunUpdater(install_.DataDir()), 0);
    auto took = Clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(1900));
    EXPECT_LT(took, std::chrono::seconds(6));
    EXPECT_EQ(server_.Downloads(), 1);
    EXPECT_EQ(FilesIn(install_.DataDir()), std::vector<std::string>{});
}

// Versions compare as numbers part by part.
TEST_F(UpdaterTest, OnlyAStrictlyNewerVersionIsDownloaded) {
    const struct {
        const char* installed;
        const char* service;
        bool downloads;
    } cases[] = {
        {"1.0.0.9", "1.0.0.10", true},
        {"1.0.0.10", "1.0.0.9", false},
        {"1.0.0.10", "1.0.0.10", false},
        {"1.2", "1.2.0.0", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.installed) + " against " + c.service);
        fs::remove_all(install_.DataDir());
        fs::create_directories(install_.DataDir());
        install_.SetConfig("App", "Version", c.installed);
        server_.SetVersion(c.service);
        int before = server_.Downloads();
        EXPECT_EQ(RunUpdater(install_.DataDir()), 0);
        EXPECT_EQ(server_.Downloads(), before + (c.downloads ? 1 : 0));
        EXPECT_EQ(Record("Version"), c.downloads ? c.service : "<missing>");
    }
}

// A version text that is not digits and dots ends the run: nothing is downloaded or written,
// inside the data folder or outside it.
TEST_F(UpdaterTest, AHostileVersionDownloadsNothing) {
    const char* versions[] = {
        "../../evil",   "1.0.0.2/../../../evil", "1.0.0.2/evil", "..",
        "1.0.0.2;evil", "1.0.0.2?x=/../evil",    "2.0 evil",     "9.9.9.9.exe",
    };
    fs::create_directories(install_.DataDir());
    for (const char* version : versions) {
        SCOPED_TRACE(version);
        server_.SetVersion(version);
        int queries = server_.Queries();
        EXPECT_EQ(RunUpdater(install_.DataDir()), 0);
        EXPECT_EQ(server_.Queries(), queries + 1);
        EXPECT_EQ(server_.Downloads(), 0);
        EXPECT_EQ(FilesIn(install_.DataDir()), std::vector<std::string>{});
        EXPECT_EQ(FilesIn(root_.AppData()), std::vector<std::string>{"BRDJ"});
        EXPECT_EQ(FilesIn(root_.Path()),
                  (std::vector<std::string>{"appdata", "install", "log", "runtime", "windows"}));
    }
}

// Runs that end before any download.
TEST_F(UpdaterTest, RunsThatEndEarly) {
    fs::create_directories(install_.DataDir());
    const std::string pendingFile = install_.DataDir() + "BRDJ_1.0.0.2.exe";
    const struct {
        const char* name;
        std::function<void()> prepare;
        std::string commandLine;
        int queries;
    } cases[] = {
        {"an empty command line", [] {}, "", 0},
        {"a command line naming nothing", [] {}, "/no/such/folder/", 0},
        {"a pending record: asked, then ended", [&] { install_.SetRecord("1.0.0.2", pendingFile); },
         install_.DataDir(), 1},
        {"an empty version text", [&] { server_.SetVersion(""); }, install_.DataDir(), 1},
        {"no version host configured", [&] { install_.SetConfig("Web", "VersionHost", ""); },
         install_.DataDir(), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(install_.RecordFile());
        install_.SetConfig("Web", "VersionHost", server_.Host());
        server_.SetVersion("1.0.0.2");
        c.prepare();
        int queries = server_.Queries();
        EXPECT_EQ(RunUpdater(c.commandLine), 0);
        EXPECT_EQ(server_.Queries(), queries + c.queries);
        EXPECT_EQ(server_.Downloads(), 0);
    }
}

// The version service's reply as the real program reads it through the library: only a
// "pack" entry with a newer version text leads to a download; every other reply ends the run
// with exit code 0 (a crash would show as another status) and leaves the data folder empty.
TEST_F(UpdaterTest, VersionReplies) {
    auto entry = [](const std::string& name, const std::string& ver) {
        return "<flash><name>" + name + "</name><ver>" + ver + "</ver></flash>";
    };
    auto reply = [](const std::string& entries, const std::string& root = "brindo_fans") {
        return "<" + root + "><flashlist>" + entries + "</flashlist></" + root + ">";
    };
    std::string nested;
    for (int i = 0; i < 200000; ++i) {
        nested += "<a>";
    }
    const struct {
        const char* name;
        std::string body;
        int status;
        bool downloads;
    } cases[] = {
        {"the pack entry after another", reply(entry("player", "9") + entry("pack", "1.0.0.2")),
         200, true},
        {"a declaration and white space around the version",
         "<?xml version=\"1.0\"?>\n" + reply(entry("pack", " 1.0.0.2 ")), 200, true},
        {"a comment before the pack entry",
         reply(entry("player", "9") + "<!-- x -->" + entry("pack", "1.0.0.2")), 200, false},
        {"no pack entry", reply(entry("player", "1.0.0.2")), 200, false},
        {"another root name", reply(entry("pack", "1.0.0.2"), "brindo"), 200, false},
        {"an error page", "<html><body>Internal Server Error</body></html>", 500, false},
        {"not XML", "ver=1.0.0.2", 200, false},
        {"an empty reply", "", 200, false},
        {"a reply over the library's limit",
         reply(entry("pack", "1.0.0.2") + std::string((16u << 20) + 1, ' ')), 200, false},
        {"nesting deep enough to overflow the parser", nested, 200, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(install_.DataDir());
        fs::create_directories(install_.DataDir());
        server_.SetRawReply(c.body, c.status);
        int queries = server_.Queries();
        int downloads = server_.Downloads();
        EXPECT_EQ(RunUpdater(install_.DataDir()), 0);
        EXPECT_EQ(server_.Queries(), queries + 1);
        EXPECT_EQ(server_.Downloads(), downloads + (c.downloads ? 1 : 0));
        const std::vector<std::string> files =
            c.downloads ? std::vector<std::string>{"BRDJ_1.0.0.2.exe", "Config.ini"}
                        : std::vector<std::string>{};
        EXPECT_EQ(FilesIn(install_.DataDir()), files);
    }
}

// The argument only has to name something that exists; a file will do.
TEST_F(UpdaterTest, AnExistingFileAsTheArgumentPasses) {
    fs::create_directories(install_.DataDir());
    EXPECT_EQ(RunUpdater(install_.ConfigFile()), 0);
    EXPECT_EQ(server_.Downloads(), 1);
    EXPECT_EQ(Record("Version"), "1.0.0.2");
}

}  // namespace
