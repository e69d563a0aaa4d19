#include "update_test_support.h"

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "windows.h"

extern char** environ;

namespace updtest {
namespace fs = std::filesystem;

std::string RecorderScript(const std::string& out) {
    return "#!/bin/sh\nprintf '%s|' \"show=${PAL_SHOW_COMMAND-none}\" \"$#\" \"$@\" > \"" + out +
           ".part\"\n/bin/mv \"" + out + ".part\" \"" + out + "\"\n";
}

bool WriteScript(const std::string& path, const std::string& text, int mode) {
    fs::create_directories(fs::path(path).parent_path());
    bool written = brtest::WriteFile(path, text);
    chmod(path.c_str(), static_cast<mode_t>(mode));
    return written;
}

bool WaitForFile(const std::string& path, int timeoutMs) {
    for (int waited = 0; waited < timeoutMs; waited += 10) {
        if (access(path.c_str(), F_OK) == 0) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return access(path.c_str(), F_OK) == 0;
}

pid_t Spawn(const std::string& program, const std::vector<std::string>& args) {
    std::vector<std::string> all = {program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& arg : all) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
        return -1;
    }
    return pid;
}

int WaitExit(pid_t pid, int timeoutMs) {
    if (pid <= 0) {
        return -1;
    }
    for (int waited = 0; waited <= timeoutMs; waited += 5) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}

bool WaitNoProcess(const char* name, int timeoutMs) {
    for (int waited = 0; waited < timeoutMs; waited += 20) {
        if (ProcessesNamed(name).empty()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    for (unsigned pid : ProcessesNamed(name)) {
        kill(static_cast<pid_t>(pid), SIGKILL);
    }
    return false;
}

std::string IniValue(const std::string& file, const char* section, const char* key) {
    char buffer[512] = {};
    GetPrivateProfileStringA(section, key, "<missing>", buffer, sizeof buffer, file.c_str());
    return buffer;
}

TestInstall::TestInstall(const brtest::ScopedTestRoot& root)
    : dir_(root.Path() + "/install/"), dataDir_(root.AppData() + "/BRDJ/") {
    fs::create_directories(dir_ + "Conf/default");
    fs::copy_file(BR_TEST_BIN_DIR "/update_client_helper", dir_ + "BRDJ");
}

void TestInstall::AddUpdater() {
    fs::copy_file(BR_BIN_DIR "/BRDJUpdate", dir_ + "BRDJUpdate",
                  fs::copy_options::overwrite_existing);
}

void TestInstall::AddFakeUpdater(const std::string& out) {
    WriteScript(dir_ + "BRDJUpdate", RecorderScript(out), 0755);
}

void TestInstall::SetConfig(const char* section, const char* key, const std::string& value) {
    WritePrivateProfileStringA(section, key, value.c_str(), ConfigFile().c_str());
}

void TestInstall::SetRecord(const std::string& version, const std::string& file) {
    fs::create_directories(dataDir_);
    WritePrivateProfileStringA("Update", "Version", version.c_str(), RecordFile().c_str());
    WritePrivateProfileStringA("Update", "UpdateFile", file.c_str(), RecordFile().c_str());
}

int TestInstall::RunClient(const std::string& action, const std::string& option) {
    std::vector<std::string> args = {action};
    if (!option.empty()) {
        args.push_back(option);
    }
    return WaitExit(Spawn(dir_ + "BRDJ", args));
}

pid_t TestInstall::StartUpdater(const std::string& commandLine) {
    return Spawn(dir_ + "BRDJUpdate", {commandLine});
}

}  // namespace updtest
