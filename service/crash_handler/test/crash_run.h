// Test support: an installation of the crash helper in a folder of a test root, runs of it (as
// another user, under a tracer), and the files it leaves.
#pragma once

#include <grp.h>
#include <signal.h>
#include <sys/ptrace.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern "C" char** environ;

namespace crashtest {

// The name the helper is installed under, as the service's program.
constexpr const char* kProgramName = "BrCoreService";

// Copies a file and makes it readable and executable by everyone.
inline void CopyExecutable(const std::string& from, const std::string& to) {
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
    chmod(to.c_str(), 0755);
}

// Installs the helper and the layer into folder (created with its parents). dbghelp is the
// crash-dump library copied beside them as libDBGHELP.so, or empty for none. Returns the path
// of the program.
inline std::string Install(const std::string& folder, const std::string& dbghelp) {
    std::filesystem::create_directories(folder);
    const std::string lonely = CRASH_HANDLER_LONELY_DIR;
    std::string program = folder + "/" + kProgramName;
    CopyExecutable(lonely + "/crash_handler_helper", program);
    CopyExecutable(lonely + "/libpal.so", folder + "/libpal.so");
    if (!dbghelp.empty()) {
        CopyExecutable(dbghelp, folder + "/libDBGHELP.so");
    }
    return program;
}

// The files of a folder, by name.
inline std::set<std::string> FilesIn(const std::string& folder) {
    std::set<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// Every file ending in ".dmp" under the folder, at any depth.
inline std::vector<std::string> DumpsUnder(const std::string& folder) {
    std::vector<std::string> dumps;
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, error)) {
        if (entry.path().extension() == ".dmp") {
            dumps.push_back(entry.path().string());
        }
    }
    return dumps;
}

struct Options {
    std::vector<std::string> environment;  // NAME=value, added to the test's own
    bool traced = false;                   // the test traces the child from its start
    bool asNobody = false;                 // the child drops to the user and group 65534
    int timeoutMs = 30000;
};

struct Ending {
    pid_t pid = 0;
    bool started = false;  // false: the child could not set itself up (ptrace, user)
    bool timedOut = false;
    bool exited = false;
    int status = -1;
    bool signaled = false;
    int signal = 0;
    std::vector<int> tracedSignals;  // the signals the tracer saw, in order
    std::string out;

    // The values after "name " on every line that starts so.
    std::vector<std::string> Lines(const std::string& name) const {
        std::vector<std::string> values;
        std::istringstream lines(out);
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind(name + " ", 0) == 0) {
                values.push_back(line.substr(name.size() + 1));
            }
        }
        return values;
    }
};

// The child's exit status when it could not set itself up.
constexpr int kSetupFailed = 126;

inline Ending Run(const std::string& program, const std::string& fault,
                  const Options& options = {}) {
    Ending ending;
    // Everything the child needs is made before fork: the test process may have threads.
    std::vector<std::string> variables;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        if (std::string(*variable).rfind("ASAN_OPTIONS=", 0) != 0) {
            variables.push_back(*variable);
        }
    }
    variables.push_back(
        "ASAN_OPTIONS=handle_segv=0:handle_sigbus=0:handle_sigfpe=0:handle_sigill=0");
    variables.insert(variables.end(), options.environment.begin(), options.environment.end());
    std::vector<char*> envp;
    for (std::string& variable : variables) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);
    std::string faultArgument = fault;
    std::string programArgument = program;
    char* argv[] = {programArgument.data(), faultArgument.data(), nullptr};
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        return ending;
    }
    auto start = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        dup2(pipeFds[1], STDOUT_FILENO);
        close(pipeFds[0]);
        close(pipeFds[1]);
        if (options.asNobody &&
            (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) {
            _exit(kSetupFailed);
        }
        if (options.traced && ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0) {
            _exit(kSetupFailed);
        }
        execve(program.c_str(), argv, envp.data());
        _exit(kSetupFailed);
    }
    close(pipeFds[1]);
    if (pid < 0) {
        close(pipeFds[0]);
        return ending;
    }
    ending.pid = pid;
    auto deadline = start + std::chrono::milliseconds(options.timeoutMs);
    bool execSeen = false;
    int status = 0;
    for (;;) {
        pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid && WIFSTOPPED(status)) {
            int signal = WSTOPSIG(status);
            int pass = signal;
            if (signal == SIGTRAP && !execSeen) {
                execSeen = true;  // the stop at exec
                pass = 0;
            } else {
                ending.tracedSignals.push_back(signal);
            }
            ptrace(PTRACE_CONT, pid, nullptr, reinterpret_cast<void*>(static_cast<long>(pass)));
            continue;
        }
        if (done == pid) {
            break;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            ending.timedOut = true;
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    // The child is gone and held the only other end, so this read ends.
    char buffer[4096];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;) {
        ending.out.append(buffer, static_cast<size_t>(n));
    }
    close(pipeFds[0]);
    ending.exited = WIFEXITED(status);
    ending.status = ending.exited ? WEXITSTATUS(status) : -1;
    ending.signaled = WIFSIGNALED(status);
    ending.signal = ending.signaled ? WTERMSIG(status) : 0;
    ending.started = !(ending.exited && ending.status == kSetupFailed);
    return ending;
}

}  // namespace crashtest
