// For the layer's process tests: the helper programs, copies of them under other names, and a
// guard that kills and closes every process a test started.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "helper_files.h"
#include "test_root.h"
#include "windows.h"

namespace paltest {

// A helper program of the suite: "sleeper" is build/test-bin/pal_sleeper_helper.
inline std::string Helper(const std::string& name) {
    return std::string(BR_TEST_BIN_DIR) + "/pal_" + name + "_helper";
}

// Copies a file, creating the folders on the way; mode 0755 unless given.
inline std::string CopyFile(const std::string& from, const std::string& to, int mode = 0755) {
    std::filesystem::create_directories(std::filesystem::path(to).parent_path());
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
    chmod(to.c_str(), static_cast<mode_t>(mode));
    return to;
}

inline bool WriteScript(const std::string& path, const std::string& text, int mode) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    bool written = brtest::WriteFile(path, text);
    chmod(path.c_str(), static_cast<mode_t>(mode));
    return written;
}

inline std::string Canonical(const std::string& path) {
    return std::filesystem::weakly_canonical(path).string();
}


using brtest::ReadRecord;
using brtest::WaitForFile;

// True once no process of that id exists any more (not even a zombie).
inline bool WaitUntilGone(DWORD pid, int timeoutMs = 10000) {
    std::string proc = "/proc/" + std::to_string(pid);
    for (int waited = 0; waited < timeoutMs; waited += 10) {
        if (access(proc.c_str(), F_OK) != 0) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// The snapshot as id -> reported name.
inline std::map<DWORD, std::string> SnapshotNames() {
    std::map<DWORD, std::string> names;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    EXPECT_NE(snapshot, INVALID_HANDLE_VALUE);
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
        names[entry.th32ProcessID] = entry.szExeFile;
    }
    CloseHandle(snapshot);
    return names;
}

// Waits for every other process of this runtime root to end (a test that started programs
// without a handle, through ShellExecuteA, say) and ends those still there after the time.
inline void EndProcessesOfThisRoot(DWORD timeoutMs = 5000) {
    for (const auto& [pid, name] : SnapshotNames()) {
        if (pid == GetCurrentProcessId()) {
            continue;
        }
        HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
        if (!process) {
            continue;
        }
        if (WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0) {
            ADD_FAILURE() << name << " still ran at the end of the test";
            TerminateProcess(process, 1);
            WaitForSingleObject(process, timeoutMs);
        }
        CloseHandle(process);
    }
}

// When the test ends: kills, waits for and closes every process handed to it, then waits for
// any other process of the test's runtime root.
class ProcessGuard {
public:
    ProcessGuard() = default;
    ProcessGuard(const ProcessGuard&) = delete;
    ProcessGuard& operator=(const ProcessGuard&) = delete;
    ~ProcessGuard() {
        for (HANDLE process : processes_) {
            TerminateProcess(process, 1);
            WaitForSingleObject(process, 10000);
            CloseHandle(process);
        }
        EndProcessesOfThisRoot();
    }

    // Takes both handles of a started process and returns the process handle.
    HANDLE Keep(const PROCESS_INFORMATION& info) {
        CloseHandle(info.hThread);
        processes_.push_back(info.hProcess);
        return info.hProcess;
    }
    void KeepHandle(HANDLE process) { processes_.push_back(process); }

    // Starts a program; fails the test when it cannot.
    PROCESS_INFORMATION Start(const std::string& program, const std::string& commandLine = "",
                              const char* environment = nullptr, const char* directory = nullptr) {
        PROCESS_INFORMATION info{};
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string line = commandLine;
        BOOL started =
            CreateProcessA(program.c_str(), line.empty() ? nullptr : line.data(), nullptr, nullptr,
                           FALSE, 0, const_cast<char*>(environment), directory, &startup, &info);
        EXPECT_TRUE(started) << program << " error " << GetLastError();
        if (started) {
            Keep(info);
        }
        return info;
    }

private:
    std::vector<HANDLE> processes_;
};

// An environment block: this process's environment with the given variables set.
inline std::string EnvironmentWith(const std::map<std::string, std::string>& changes) {
    std::map<std::string, std::string> vars;
    for (char** entry = ::environ; *entry; ++entry) {
        std::string text = *entry;
        size_t eq = text.find('=');
        if (eq != std::string::npos) {
            vars[text.substr(0, eq)] = text.substr(eq + 1);
        }
    }
    for (const auto& [name, value] : changes) {
        vars[name] = value;
    }
    std::string block;
    for (const auto& [name, value] : vars) {
        block += name + "=" + value;
        block.push_back('\0');
    }
    block.push_back('\0');
    return block;
}

}  // namespace paltest
