// For the tests of the shared functions: the recording helper program, copies of it, and waits
// for what it leaves behind.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <thread>

#include "helper_files.h"
#include "test_root.h"

extern char** environ;

namespace commontest {

inline std::string HelperPath() {
    return std::string(BR_TEST_BIN_DIR) + "/client_common_helper";
}

// Copies the helper into the folder under the given name, creating the folders on the way.
inline std::string CopyHelper(const std::string& folder, const std::string& name) {
    std::filesystem::create_directories(folder);
    std::string to = folder + "/" + name;
    std::filesystem::copy_file(HelperPath(), to, std::filesystem::copy_options::overwrite_existing);
    chmod(to.c_str(), 0755);
    return to;
}


using brtest::ReadRecord;
using brtest::WaitForFile;

// Waits until the process is gone (not even a zombie); kills it when it outlives the wait.
inline bool WaitUntilGone(pid_t pid, int timeoutMs = 10000) {
    std::string proc = "/proc/" + std::to_string(pid);
    for (int waited = 0; waited < timeoutMs; waited += 10) {
        if (access(proc.c_str(), F_OK) != 0) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    return false;
}

// Runs the program with one argument and waits for it; its exit status, or -1.
inline int RunAndWait(const std::string& program, const std::string& argument) {
    char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(argument.c_str()),
                    nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) {
        return -1;
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

}  // namespace commontest
