// The client's update launcher in a test installation whose updater is a script that records
// its command line: which record states start the updater, what the check clears, and which
// installer the close runs.
#include <gtest/gtest.h>

#include <filesystem>

#include "update_test_support.h"
#include "windows.h"

namespace {

namespace fs = std::filesystem;

class LauncherTest : public ::testing::Test {
protected:
    void SetUp() override { install_.AddFakeUpdater(updaterArgs_); }

    // The updater's recorded command line, or "" when it was not started.
    std::string UpdaterStarted(int timeoutMs) {
        if (!updtest::WaitForFile(updaterArgs_, timeoutMs)) {
            return "";
        }
        std::string args = brtest::ReadFile(updaterArgs_);
        std::remove(updaterArgs_.c_str());
        return args;
    }
    std::string InstallerStarted(int timeoutMs) {
        if (!updtest::WaitForFile(installerArgs_, timeoutMs)) {
            return "";
        }
        return brtest::ReadFile(installerArgs_);
    }
    std::string Record(const char* key) {
        return updtest::IniValue(install_.RecordFile(), "Update", key);
    }
    // An installer that records how it was run, without the execute bit.
    void WriteInstaller(const std::string& path) {
        ASSERT_TRUE(updtest::WriteScript(path, updtest::RecorderScript(installerArgs_), 0644));
    }
    // A case of the record tables: a fresh data folder, the installer the updater writes for
    // 1.0.0.2 in it and a copy outside it, and that record; nothing started yet.
    void StartCase(const std::string& version, const std::string& file) {
        fs::remove_all(install_.DataDir());
        std::remove(installerArgs_.c_str());
        WriteInstaller(installer_);
        WriteInstaller(elsewhere_);
        install_.SetRecord(version, file);
    }

    brtest::ScopedTestRoot root_;
    updtest::TestInstall install_{root_};
    std::string updaterArgs_ = root_.Path() + "/updater.args";
    std::string installerArgs_ = root_.Path() + "/installer.args";
    std::string installer_ = install_.DataDir() + "BRDJ_1.0.0.2.exe";
    std::string elsewhere_ = root_.Path() + "/elsewhere/BRDJ_1.0.0.2.exe";
};

TEST_F(LauncherTest, FirstStartCreatesTheDataFolderAndStartsTheUpdater) {
    ASSERT_FALSE(fs::exists(install_.DataDir()));
    ASSERT_EQ(install_.RunClient("check"), 0);
    EXPECT_EQ(UpdaterStarted(10000), "show=0|1|" + install_.DataDir() + "|");
    EXPECT_TRUE(fs::is_directory(install_.DataDir()));
    EXPECT_FALSE(fs::exists(install_.RecordFile()));  // the record is not touched
    ASSERT_EQ(install_.RunClient("close"), 0);
    EXPECT_EQ(InstallerStarted(300), "");
}

// The check and the close for each state of the record. "installer" is the file the updater
// writes for version 1.0.0.2, which exists in every case.
TEST_F(LauncherTest, RecordStates) {
    const std::string data = install_.DataDir();
    const std::string& installer = installer_;
    const std::string& elsewhere = elsewhere_;
    const struct {
        const char* name;
        std::string version, file;
        bool startsUpdater;
        bool clears;
        bool runsInstaller;
    } cases[] = {
        {"none: version without file", "1.0.0.2", "", true, false, false},
        {"none: file without version", "", installer, true, false, false},
        {"stale: the file has gone", "1.0.0.3", data + "BRDJ_1.0.0.3.exe", true, true, false},
        {"pending", "1.0.0.2", installer, false, false, true},
        {"a file outside the data folder", "1.0.0.2", elsewhere, true, true, false},
        {"a file of another version", "1.0.0.5", installer, true, true, false},
        {"a path through another folder", "1.0.0.2", data + "../BRDJ/BRDJ_1.0.0.2.exe", true, true,
         false},
        {"a hostile version", "../elsewhere/x", data + "BRDJ_../elsewhere/x.exe", true, true,
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StartCase(c.version, c.file);

        // The close first: the check could clear the record.
        ASSERT_EQ(install_.RunClient("close"), 0);
        EXPECT_EQ(InstallerStarted(c.runsInstaller ? 10000 : 300),
                  c.runsInstaller ? "show=0|1|/S|" : "");
        EXPECT_EQ(Record("Version"), c.version);  // the close leaves the record
        EXPECT_EQ(Record("UpdateFile"), c.file);

        ASSERT_EQ(install_.RunClient("check"), 0);
        EXPECT_EQ(UpdaterStarted(c.startsUpdater ? 10000 : 300),
                  c.startsUpdater ? "show=0|1|" + data + "|" : "");
        EXPECT_EQ(Record("Version"), c.clears ? "" : c.version);
        EXPECT_EQ(Record("UpdateFile"), c.clears ? "" : c.file);
    }
}

// A record whose version is not newer than the installed one is superseded (its installer has
// run): the close runs nothing, the check removes the installer the updater wrote for it,
// clears the record and starts the updater. An installed value that is no version text counts
// as 1.0.0.0.
TEST_F(LauncherTest, ARecordTheInstallationHasCaughtUpWithIsCleared) {
    const std::string data = install_.DataDir();
    const std::string& installer = installer_;
    const std::string& elsewhere = elsewhere_;
    const struct {
        const char* name;
        const char* installed;
        std::string file;  // recorded for version 1.0.0.2
        bool superseded;
    } cases[] = {
        {"installed the recorded version", "1.0.0.2", installer, true},
        {"installed a newer version", "1.0.0.10", installer, true},
        {"installed the same version written longer", "1.0.0.2.0", installer, true},
        {"recorded without its file", "1.0.0.2", "", true},
        {"recording a file elsewhere: only the updater's file goes", "1.0.0.2", elsewhere, true},
        {"installed an older version: still pending", "1.0.0.1", installer, false},
        {"installed value no version text: still pending", "V1.0.0.9", installer, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StartCase("1.0.0.2", c.file);
        install_.SetConfig("App", "Version", c.installed);
        bool pending = !c.superseded && c.file == installer;

        ASSERT_EQ(install_.RunClient("close"), 0);
        EXPECT_EQ(InstallerStarted(pending ? 10000 : 300), pending ? "show=0|1|/S|" : "");
        EXPECT_TRUE(fs::exists(installer));

        ASSERT_EQ(install_.RunClient("check"), 0);
        EXPECT_EQ(UpdaterStarted(pending ? 300 : 10000), pending ? "" : "show=0|1|" + data + "|");
        EXPECT_EQ(Record("Version"), c.superseded ? "" : "1.0.0.2");
        EXPECT_EQ(Record("UpdateFile"), c.superseded ? "" : c.file);
        EXPECT_EQ(fs::exists(installer), !c.superseded);
        EXPECT_TRUE(fs::exists(elsewhere));
    }
}

// Without a data folder the record is read from the bare "Config.ini" of the Windows folder, and
// the updater gets an empty command line; no installer can be named, not even one beside the
// current folder.
TEST_F(LauncherTest, WithoutADataFolder) {
    std::string bare = root_.WindowsDir() + "/Config.ini";
    WritePrivateProfileStringA("Update", "Version", "1.0.0.2", bare.c_str());
    WritePrivateProfileStringA("Update", "UpdateFile", "BRDJ_1.0.0.2.exe", bare.c_str());
    WriteInstaller(install_.Dir() + "BRDJ_1.0.0.2.exe");
    WriteInstaller(root_.WindowsDir() + "/BRDJ_1.0.0.2.exe");
    ASSERT_EQ(install_.RunClient("close", "noworkdir"), 0);
    EXPECT_EQ(InstallerStarted(300), "");
    ASSERT_EQ(install_.RunClient("check", "noworkdir"), 0);
    EXPECT_EQ(UpdaterStarted(10000), "show=0|0|");
    EXPECT_EQ(updtest::IniValue(bare, "Update", "Version"), "");
    EXPECT_EQ(updtest::IniValue(bare, "Update", "UpdateFile"), "");
}

}  // namespace
