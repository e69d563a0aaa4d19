// For the log's tests: an installation of its own per test (a logging helper, by default the
// log's own, as "BRDJ" with its Conf/default/config.ini) and a working folder to run it in.
#pragma once

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "test_root.h"

extern char** environ;

namespace logtest {

class LogInstall {
public:
    explicit LogInstall(const std::string& helper = "client_debug_log_helper")
        : install_(root_.Path() + "/install"), work_(root_.Path() + "/work") {
        std::filesystem::create_directories(install_ + "/Conf/default");
        std::filesystem::create_directories(work_);
        program_ = install_ + "/BRDJ";
        std::filesystem::copy_file(std::string(BR_TEST_BIN_DIR) + "/" + helper, program_);
        chmod(program_.c_str(), 0755);
    }

    const brtest::ScopedTestRoot& Root() const { return root_; }
    const std::string& Install() const { return install_; }
    const std::string& Work() const { return work_; }
    std::string Config() const { return install_ + "/Conf/default/config.ini"; }
    std::string LogFile() const { return work_ + "/log/BRDJ.txt"; }

    bool WriteConfig(const std::string& content) const {
        return brtest::WriteFile(Config(), content);
    }
    // A config that sets the level to that value.
    bool SetLevel(const std::string& value) const {
        return WriteConfig("[LogMsg]\nrealloglevel=" + value + "\n");
    }
    void MakeLogFolder() const { std::filesystem::create_directories(work_ + "/log"); }

    // Runs the helper in the working folder with these steps; its exit status, or -1.
    int Run(const std::vector<std::string>& steps) const {
        std::vector<char*> argv{const_cast<char*>(program_.c_str())};
        for (const std::string& step : steps) {
            argv.push_back(const_cast<char*>(step.c_str()));
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addchdir_np(&actions, work_.c_str());
        pid_t pid = 0;
        int spawned = posix_spawn(&pid, program_.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            return -1;
        }
        int status = 0;
        if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
            return -1;
        }
        return WEXITSTATUS(status);
    }

    // The names in a folder, sorted.
    static std::vector<std::string> Entries(const std::string& folder) {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    brtest::ScopedTestRoot root_;
    std::string install_;
    std::string work_;
    std::string program_;
};

}  // namespace logtest
