#include "x11/test/xvfb_fixture.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <sstream>

namespace paltest {
namespace {

// How long a server may take to come up.
constexpr std::chrono::seconds kStartLimit{15};

// The display number the server writes, read until the newline or the deadline.
std::string ReadDisplayNumber(int fd) {
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
    while (text.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd ready{fd, POLLIN, 0};
        if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) <= 0) {
            return "";
        }
        char buffer[16];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            return "";  // the server ended before it said
        }
        text.append(buffer, static_cast<size_t>(n));
    }
    return text.substr(0, text.find('\n'));
}

}  // namespace

std::string Xvfb::Program() {
    std::istringstream path(std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(path, dir, ':')) {
        const std::string candidate = dir + "/Xvfb";
        if (!dir.empty() && access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return "";
}

Xvfb::Xvfb() {
    const std::string program = Program();
    int fds[2];
    if (program.empty() || pipe2(fds, O_CLOEXEC) != 0) {
        return;
    }
    const std::string fd = std::to_string(fds[1]);
    const char* argv[] = {program.c_str(), "-displayfd", fd.c_str(), "-screen",  "0",
                          "1280x1024x24",  "-nolisten",  "tcp",      "-noreset", nullptr};
    pid_ = fork();
    if (pid_ == 0) {
        // The server ends with the test program, whatever way it ends.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        fcntl(fds[1], F_SETFD, 0);
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, 2);
        execv(argv[0], const_cast<char* const*>(argv));
        _exit(127);
    }
    close(fds[1]);
    if (pid_ > 0) {
        const std::string number = ReadDisplayNumber(fds[0]);
        if (!number.empty()) {
            name_ = ":" + number;
        }
    }
    close(fds[0]);
}

Xvfb::~Xvfb() {
    Kill();
}

void Xvfb::Kill() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
}

Xvfb* ProgramDisplay(std::string* why) {
    // Never destroyed: the backend's connection stays open until the program ends, and the
    // server goes with the program (its parent-death signal).
    static Xvfb* const server = [] {
        auto* started = new Xvfb;
        if (started->Running()) {
            setenv("DISPLAY", started->Name().c_str(), 1);
            setenv("PAL_DISPLAY", "x11", 1);
        }
        return started;
    }();
    if (server->Running()) {
        return server;
    }
    *why = Xvfb::Program().empty()
               ? "Xvfb is not installed (bash scripts/setup.sh installs it): X11 tests skipped"
               : "Xvfb is installed but gave no display within its deadline";
    return nullptr;
}

}  // namespace paltest
