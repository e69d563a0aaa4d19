#include <gtest/gtest.h>

#include <chrono>

#include "brlib.h"
#include "test/process_test_support.h"

namespace {

using paltest::Helper;

class BrLibProcessTest : public ::testing::Test {
protected:
    void TearDown() override {
        // Exec hands out no handle: end what it started by name.
        for (const char* name : {"BrCoreService.exe", "Svc.exe", "Other.exe"}) {
            BrLib::Process::KillOtherInstance(name);
        }
        unsetenv("PAL_TEST_RECORD");
    }

    // A sleeper copied as dir/name and started; its process handle is kept by the guard.
    HANDLE StartSleeper(const std::string& dir, const std::string& name,
                        const char* environment = nullptr) {
        std::string copy = root_.Path() + "/" + dir + "/" + name;
        if (access(copy.c_str(), F_OK) != 0) {
            paltest::CopyFile(Helper("sleeper"), copy);
        }
        return guard_.Start(copy, "", environment).hProcess;
    }

    brtest::ScopedTestRoot root_;
    paltest::ProcessGuard guard_;
};

TEST_F(BrLibProcessTest, ExecStartsWithoutArgumentsAndDoesNotWait) {
    paltest::CopyFile(Helper("sleeper"), root_.Path() + "/bin/BrCoreService");
    std::string path = root_.Path() + "/bin/" + "BrCoreService.exe";
    BrLib::Process::ProcessExecutor executor;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(executor.Exec(path, false), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_TRUE(BrLib::Process::CheckProcessExist("BrCoreService.exe"));
    EXPECT_EQ(BrLib::Process::KillOtherInstance("BrCoreService.exe"), 1);
    EXPECT_FALSE(BrLib::Process::CheckProcessExist("BrCoreService.exe"));
}

TEST_F(BrLibProcessTest, ExecWithWaitReturnsAfterTheEnd) {
    std::string record = root_.Path() + "/record.txt";
    setenv("PAL_TEST_RECORD", record.c_str(), 1);
    BrLib::Process::ProcessExecutor executor;
    EXPECT_EQ(executor.Exec(Helper("recorder"), true), 0);
    auto values = paltest::ReadRecord(record);  // written before it ended
    EXPECT_EQ(values["argc"], "1");
}

TEST_F(BrLibProcessTest, ExecFailures) {
    BrLib::Process::ProcessExecutor executor;
    EXPECT_EQ(executor.Exec(root_.Path() + "/BrCoreService.exe", false),
              static_cast<int>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(executor.Exec(root_.Path() + "/none/BrCoreService.exe", false),
              static_cast<int>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(executor.Exec("", false), static_cast<int>(ERROR_FILE_NOT_FOUND));
}

TEST_F(BrLibProcessTest, KillOtherInstanceEndsOnlyThatNameInThisRoot) {
    std::string otherRoot =
        paltest::EnvironmentWith({{"PAL_RUNTIME_DIR", root_.Path() + "/other-root"}});
    HANDLE first = StartSleeper("a", "Svc.exe");
    HANDLE second = StartSleeper("b", "Svc");  // reported as "Svc.exe" too
    HANDLE elsewhere = StartSleeper("a", "Svc.exe", otherRoot.c_str());
    HANDLE other = StartSleeper("a", "Other.exe");

    EXPECT_EQ(BrLib::Process::KillOtherInstance("svc.EXE"), 2);
    EXPECT_EQ(WaitForSingleObject(first, 0), WAIT_OBJECT_0);  // gone when it returned
    EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(elsewhere, 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(other, 0), WAIT_TIMEOUT);
    EXPECT_FALSE(BrLib::Process::CheckProcessExist("Svc.exe"));
    EXPECT_EQ(BrLib::Process::KillOtherInstance("Svc.exe"), 0);
}

TEST_F(BrLibProcessTest, KillOtherInstanceSparesTheCaller) {
    HANDLE sleeper = StartSleeper("a", "Svc.exe");
    std::string record = root_.Path() + "/record.txt";
    setenv("PAL_TEST_RECORD", record.c_str(), 1);
    std::string killer = paltest::CopyFile(
        std::string(BR_TEST_BIN_DIR) + "/brlib_kill_other_helper", root_.Path() + "/b/Svc.exe");
    HANDLE caller = guard_.Start(killer, "Svc.exe Svc.exe").hProcess;
    ASSERT_EQ(WaitForSingleObject(caller, 10000), WAIT_OBJECT_0);
    DWORD code = 1;
    EXPECT_TRUE(GetExitCodeProcess(caller, &code));
    EXPECT_EQ(code, 0u);
    auto values = paltest::ReadRecord(record);
    EXPECT_EQ(values["ended"], "1");
    EXPECT_EQ(values["self"], "1");  // it still ran, and found itself
    EXPECT_EQ(WaitForSingleObject(sleeper, 0), WAIT_OBJECT_0);
}

TEST_F(BrLibProcessTest, CheckProcessExist) {
    std::string otherRoot =
        paltest::EnvironmentWith({{"PAL_RUNTIME_DIR", root_.Path() + "/other-root"}});
    StartSleeper("a", "brmusic.exe");
    StartSleeper("a", "BRDJ");
    StartSleeper("b", "elsewhere.exe", otherRoot.c_str());
    const struct {
        const char* name;
        bool exists;
    } cases[] = {
        {"brmusic.exe", true},
        {"BRDJ.exe", true},
        {"bRdJ.EXE", true},
        {"brlib_test.exe", true},  // the caller itself
        {"BRDJ", false},           // processes report their ".exe" name
        {"brmusic", false},
        {"BRDJ.exe ", false},
        {"elsewhere.exe", false},  // another runtime root
        {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BrLib::Process::CheckProcessExist(c.name), c.exists) << c.name;
    }
}

}  // namespace
