// Test support: runs the crash helper (pal_crash_helper) and reports how it ended and what it
// printed. The child runs without core files and with the sanitizer's own handlers for the fault
// signals switched off, so the layer's handlers see the faults.
#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace crashtest {

struct Ending {
    bool exited = false;
    int status = -1;
    bool signaled = false;
    int signal = 0;
    bool timedOut = false;
    pid_t pid = 0;
    std::string out;

    // The value after "name " on the first line that starts so, empty when there is none.
    std::string Line(const std::string& name) const {
        std::istringstream lines(out);
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind(name + " ", 0) == 0) {
                return line.substr(name.size() + 1);
            }
        }
        return "";
    }

    // The fields of the "filter key=value ..." line.
    std::map<std::string, std::string> Filter() const {
        std::map<std::string, std::string> fields;
        std::istringstream words(Line("filter"));
        for (std::string word; words >> word;) {
            size_t eq = word.find('=');
            if (eq != std::string::npos) {
                fields[word.substr(0, eq)] = word.substr(eq + 1);
            }
        }
        return fields;
    }
};

inline std::string HelperPath() {
    return std::string(BR_TEST_BIN_DIR) + "/pal_crash_helper";
}

inline Ending RunHelper(const std::vector<std::string>& args, int timeoutMs = 30000) {
    Ending ending;
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        return ending;
    }
    std::string path = HelperPath();
    std::vector<char*> argv;
    argv.push_back(path.data());
    std::vector<std::string> copies(args);
    for (std::string& arg : copies) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        dup2(pipeFds[1], STDOUT_FILENO);
        close(pipeFds[0]);
        close(pipeFds[1]);
        setenv("ASAN_OPTIONS", "handle_segv=0:handle_sigbus=0:handle_sigfpe=0:handle_sigill=0", 1);
        execv(path.c_str(), argv.data());
        _exit(127);
    }
    close(pipeFds[1]);
    ending.pid = pid;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
        pollfd readable{pipeFds[0], POLLIN, 0};
        if (left <= 0 || poll(&readable, 1, static_cast<int>(left)) == 0) {
            ending.timedOut = true;
            kill(pid, SIGKILL);
            break;
        }
        char buffer[4096];
        ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        ending.out.append(buffer, static_cast<size_t>(n));
    }
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    ending.exited = WIFEXITED(status);
    ending.status = ending.exited ? WEXITSTATUS(status) : -1;
    ending.signaled = WIFSIGNALED(status);
    ending.signal = ending.signaled ? WTERMSIG(status) : 0;
    return ending;
}

}  // namespace crashtest
