#include "service_run.h"

#include <glob.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "windows.h"

extern char** environ;

namespace svctest {
namespace fs = std::filesystem;

std::string InstalledProgram() {
    return BR_BIN_DIR "/BrCoreService";
}

std::string MakeInstall(const std::string& dir, Engine engine) {
    fs::create_directories(dir);
    const std::string program = dir + "/BrCoreService";
    fs::copy_file(SERVICE_TEST_LONELY_DIR "/BrCoreService", program);
    fs::copy_file(SERVICE_TEST_LONELY_DIR "/libpal.so", dir + "/libpal.so");
    for (const auto& entry : fs::directory_iterator(BR_BIN_DIR)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("lib", 0) == 0 && name.find(".so") != std::string::npos &&
            name != "libPlayEngine.so" && name != "libpal.so") {
            fs::create_symlink(entry.path(), dir + "/" + name);
        }
    }
    if (engine == Engine::kRecording) {
        fs::create_symlink(SERVICE_TEST_ENGINE, dir + "/libPlayEngine.so");
    } else if (engine == Engine::kOverflow) {
        fs::create_symlink(SERVICE_OVERFLOW_ENGINE, dir + "/libPlayEngine.so");
    }
    return program;
}

Processes::~Processes() {
    KillAll();
}

pid_t Processes::Start(const std::string& program) {
    std::string argv0 = program;
    char* argv[] = {argv0.data(), nullptr};
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) {
        return -1;
    }
    pids_.push_back(pid);
    return pid;
}

int Processes::WaitExit(pid_t pid, int timeoutMs) {
    if (std::find(pids_.begin(), pids_.end(), pid) == pids_.end()) {
        return -1;
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            pids_.erase(std::find(pids_.begin(), pids_.end(), pid));
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

bool Processes::Running(pid_t pid) {
    siginfo_t info{};
    // WNOWAIT: look without reaping, so WaitExit still gets the status.
    if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0) {
        return false;
    }
    return info.si_pid == 0;
}

void Processes::Kill(pid_t pid) {
    auto found = std::find(pids_.begin(), pids_.end(), pid);
    if (found == pids_.end()) {
        return;
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    pids_.erase(found);
}

void Processes::KillAll() {
    while (!pids_.empty()) {
        Kill(pids_.back());
    }
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

int CountFiles(const std::string& pattern) {
    glob_t found{};
    int count =
        glob(pattern.c_str(), 0, nullptr, &found) == 0 ? static_cast<int>(found.gl_pathc) : 0;
    globfree(&found);
    return count;
}

}  // namespace svctest
