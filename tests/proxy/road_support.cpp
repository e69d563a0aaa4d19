#include "road_support.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <thread>

extern char** environ;

namespace proxytest {

std::vector<DWORD> ServiceProcesses() {
    return ProcessesNamed("BrCoreService.exe");
}

void KillRootProcesses() {
    brtest::KillOtherRootProcesses();
}

bool IsRunning(DWORD pid) {
    const std::vector<PROCESSENTRY32> all = brtest::RootProcesses();
    return std::any_of(all.begin(), all.end(),
                       [&](const PROCESSENTRY32& entry) { return entry.th32ProcessID == pid; });
}

pid_t StartSleeperNamed(const std::string& name) {
    const std::string folder = std::string(getenv("PAL_RUNTIME_DIR")) + "/../programs";
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/" + name;
    std::filesystem::copy_file(BR_TEST_BIN_DIR "/pal_sleeper_helper", path,
                               std::filesystem::copy_options::overwrite_existing);
    chmod(path.c_str(), 0700);
    char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
    pid_t pid = -1;
    if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ) != 0) {
        return -1;
    }
    // Seen by the snapshot once it runs the copy.
    for (int i = 0; i < 200 && !IsRunning(static_cast<DWORD>(pid)); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return pid;
}

ProgramRun RunProgram(const std::string& path, int timeoutMs, int* status) {
    *status = -1;
    ProgramRun run;
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) {
        return run;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, out[1], 2);
    char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    bool exited = spawned != 0;
    while (!exited || !run.outputEnded) {
        if (Clock::now() > deadline) {
            break;
        }
        pollfd p = {out[0], POLLIN, 0};
        if (!run.outputEnded && poll(&p, 1, 100) > 0) {
            char buffer[4096];
            const ssize_t n = read(out[0], buffer, sizeof buffer);
            if (n > 0) {
                run.output.append(buffer, static_cast<size_t>(n));
            } else {
                run.outputEnded = true;
            }
        } else if (run.outputEnded) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        exited = exited || waitpid(pid, status, WNOHANG) == pid;
    }
    if (!exited) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    close(out[0]);
    return run;
}

bool WaitForService(int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!IsRunCoreServer()) {
        if (Clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

bool WaitForNoService(int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!ServiceProcesses().empty()) {
        if (Clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

void Journal::Add(const std::string& line) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.push_back(line);
    }
    added_.notify_all();
}

std::vector<std::string> Journal::Lines() {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
}

int Journal::Count(const std::string& line) {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(std::count(lines_.begin(), lines_.end(), line));
}

bool Journal::WaitFor(const std::string& line, int count, int timeoutMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    return added_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [&] { return std::count(lines_.begin(), lines_.end(), line) >= count; });
}

void RecordingSink::OnServiceLost() {
    journal_.Add(name_ + ".Lost");
}

void RecordingSink::OnServiceRunning() {
    journal_.Add(name_ + ".Running");
}

std::string DemoTrack() {
    return BR_BIN_DIR "/brdj_demo.flac";
}

void RoadTest::SetUp() {
    ASSERT_GT(StartSleeperNamed("brmusic"), 0);
}

void RoadTest::TearDown() {
    KillRootProcesses();
}

std::string RoadTest::Log() {
    return brtest::ReadFile(root_.LogDir() + "/brServiceProxy.txt");
}

int RoadTest::LogCount(const std::string& function, const std::string& message) {
    std::istringstream log(Log());
    const std::string tail = " 0 " + function + ": " + message;
    int count = 0;
    for (std::string line; std::getline(log, line);) {
        count += line.ends_with(tail);
    }
    return count;
}

bool RoadTest::StartPlaying(IPlayerCore* player, IMediaCallback* receiver) {
    if (player == nullptr) {
        return false;
    }
    player->Init(receiver, 0, 0, 0);
    PlayRequest request;
    std::strncpy(request.itemText1, DemoTrack().c_str(), sizeof request.itemText1 - 1);
    if (player->Open(&request) != 0 || player->Play() != 0 ||
        !journal_.WaitFor("PlayStart", 1, 5000)) {
        return false;
    }
    IPlayObject* object = nullptr;
    return player->GetPlayObject(&object) == 0 && object->GetState() == 3;
}

}  // namespace proxytest
