#include <gtest/gtest.h>

#include "test/process_test_support.h"

namespace {

using paltest::Helper;
using paltest::SnapshotNames;

class SnapshotTest : public ::testing::Test {
protected:
    // A copy of the sleeper under the given file name, started.
    PROCESS_INFORMATION StartAs(const std::string& fileName, const char* environment = nullptr) {
        std::string copy = root_.Path() + "/bin/" + fileName;
        if (access(copy.c_str(), F_OK) != 0) {  // a running copy cannot be written again
            paltest::CopyFile(Helper("sleeper"), copy);
        }
        return guard_.Start(copy, "", environment);
    }

    brtest::ScopedTestRoot root_;
    paltest::ProcessGuard guard_;
};

TEST_F(SnapshotTest, ListsTheCallerWithItsParent) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    ASSERT_NE(snapshot, INVALID_HANDLE_VALUE);
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
        if (entry.th32ProcessID == GetCurrentProcessId()) {
            found = true;
            EXPECT_STREQ(entry.szExeFile, "pal_test.exe");
            EXPECT_EQ(entry.th32ParentProcessID, static_cast<DWORD>(getppid()));
            EXPECT_GE(entry.cntThreads, 1u);
            EXPECT_EQ(entry.dwSize, sizeof entry);
        }
    }
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
    EXPECT_TRUE(found);
    EXPECT_TRUE(CloseHandle(snapshot));
}

TEST_F(SnapshotTest, ReportsProgramsByTheirWindowsNames) {
    const struct {
        const char* file;
        const char* reported;
    } cases[] = {
        {"brmusic.exe", "brmusic.exe"},
        {"BRDJ", "BRDJ.exe"},
        {"BrCoreService", "BrCoreService.exe"},
    };
    std::map<DWORD, std::string> expected;
    for (const auto& c : cases) {
        PROCESS_INFORMATION info = StartAs(c.file);
        expected[info.dwProcessId] = c.reported;
    }
    auto names = SnapshotNames();
    for (const auto& [pid, name] : expected) {
        EXPECT_EQ(names[pid], name);
    }
}

TEST_F(SnapshotTest, ParentOfAStartedProcessIsTheStarter) {
    PROCESS_INFORMATION info = StartAs("BRDJ");
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    DWORD parent = 0;
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
        if (entry.th32ProcessID == info.dwProcessId) {
            parent = entry.th32ParentProcessID;
        }
    }
    CloseHandle(snapshot);
    EXPECT_EQ(parent, GetCurrentProcessId());
}

TEST_F(SnapshotTest, OnlyProcessesOfThisRuntimeRootAreListed) {
    std::string other = root_.Path() + "/other-root";
    std::string xdg = root_.Path() + "/xdg";
    std::filesystem::create_directories(xdg + "/pal");
    std::filesystem::create_directory_symlink(root_.Runtime(), root_.Path() + "/link-root");
    const struct {
        std::string environment;
        bool listed;
    } cases[] = {
        {paltest::EnvironmentWith({{"PAL_RUNTIME_DIR", other}}), false},
        {paltest::EnvironmentWith({{"PAL_RUNTIME_DIR", root_.Runtime() + "/"}}), true},
        {paltest::EnvironmentWith({{"PAL_RUNTIME_DIR", root_.Path() + "/link-root"}}), true},
        // No root of its own: it falls back on $XDG_RUNTIME_DIR/pal, which is ours below.
        {paltest::EnvironmentWith({{"PAL_RUNTIME_DIR", ""}, {"XDG_RUNTIME_DIR", xdg}}), true},
        {paltest::EnvironmentWith({{"PAL_RUNTIME_DIR", ""}, {"XDG_RUNTIME_DIR", other}}), false},
    };
    std::vector<std::pair<DWORD, bool>> started;
    for (const auto& c : cases) {
        started.emplace_back(StartAs("BRDJ", c.environment.c_str()).dwProcessId, c.listed);
    }
    setenv("PAL_RUNTIME_DIR", root_.Runtime().c_str(), 1);
    auto names = SnapshotNames();
    setenv("PAL_RUNTIME_DIR", (xdg + "/pal").c_str(), 1);
    auto xdgNames = SnapshotNames();
    for (size_t i = 0; i < started.size(); ++i) {
        auto [pid, listed] = started[i];
        bool inXdgRoot = i == 3;
        EXPECT_EQ(names.count(pid) == 1, listed && !inXdgRoot) << "case " << i;
        EXPECT_EQ(xdgNames.count(pid) == 1, inXdgRoot) << "case " << i;
        // Lookups by id are not scoped.
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
        EXPECT_NE(process, nullptr);
        CloseHandle(process);
    }
}

TEST_F(SnapshotTest, EndedProcessesLeaveTheList) {
    PROCESS_INFORMATION info = StartAs("BRDJ");
    EXPECT_EQ(SnapshotNames().count(info.dwProcessId), 1u);
    ASSERT_TRUE(TerminateProcess(info.hProcess, 0));
    ASSERT_EQ(WaitForSingleObject(info.hProcess, 10000), WAIT_OBJECT_0);
    EXPECT_EQ(SnapshotNames().count(info.dwProcessId), 0u);
}

TEST_F(SnapshotTest, LongestNameFitsWithItsTerminator) {
    std::string name(255, 'n');  // the longest file name; reported with ".exe", 259 characters
    PROCESS_INFORMATION info = StartAs(name);
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry;
    std::memset(&entry, 0x7F, sizeof entry);
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
        if (entry.th32ProcessID == info.dwProcessId) {
            found = true;
            EXPECT_EQ(entry.szExeFile[MAX_PATH - 1], '\0');
            EXPECT_EQ(std::string(entry.szExeFile), name + ".exe");
        }
    }
    CloseHandle(snapshot);
    EXPECT_TRUE(found);
}

TEST_F(SnapshotTest, EntrySizeAndIteration) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    ASSERT_NE(snapshot, INVALID_HANDLE_VALUE);
    PROCESSENTRY32 entry{};
    for (DWORD size : {0u, static_cast<DWORD>(sizeof entry - 1)}) {
        entry.dwSize = size;
        SetLastError(0);
        EXPECT_FALSE(Process32First(snapshot, &entry));
        EXPECT_EQ(GetLastError(), ERROR_BAD_LENGTH);
        EXPECT_FALSE(Process32Next(snapshot, &entry));
        EXPECT_EQ(GetLastError(), ERROR_BAD_LENGTH);
    }
    EXPECT_FALSE(Process32First(snapshot, nullptr));
    entry.dwSize = sizeof entry;
    ASSERT_TRUE(Process32First(snapshot, &entry));
    DWORD first = entry.th32ProcessID;
    while (Process32Next(snapshot, &entry)) {
        EXPECT_GT(entry.th32ProcessID, first);  // ascending ids
        first = entry.th32ProcessID;
    }
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
    EXPECT_FALSE(Process32Next(snapshot, &entry));  // stays at the end
    ASSERT_TRUE(Process32First(snapshot, &entry));  // First starts again
    CloseHandle(snapshot);
}

TEST_F(SnapshotTest, Failures) {
    for (DWORD flags : {0u, TH32CS_SNAPMODULE, TH32CS_SNAPTHREAD}) {
        SetLastError(0);
        EXPECT_EQ(CreateToolhelp32Snapshot(flags, 0), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
    }
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    PROCESS_INFORMATION info = StartAs("BRDJ");  // a process handle is no snapshot
    for (HANDLE handle : {static_cast<HANDLE>(nullptr), info.hProcess}) {
        SetLastError(0);
        EXPECT_FALSE(Process32First(handle, &entry));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    }
}

}  // namespace
