// Test support: one helper process of the test-bin folder with pipes to its standard input and
// output, for the call center's and the message center's tests. The process is killed when the
// object goes, so no test leaves one behind.
#pragma once

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

namespace brtest {

class PeerProcess {
public:
    // `helper`: the program's name in the test-bin folder.
    explicit PeerProcess(std::string helper) : helper_(std::move(helper)) {}
    ~PeerProcess() { Kill(); }
    PeerProcess(const PeerProcess&) = delete;
    PeerProcess& operator=(const PeerProcess&) = delete;

    // Starts the helper with these arguments; false when it cannot be started.
    bool Start(const std::vector<std::string>& args);
    // The next line of its output without the newline; empty after the time-out or at its end.
    std::string ReadLine(int timeoutMs = 10000);
    void Send(const std::string& line);
    void CloseInput();
    // Waits for the process to end: its exit code, or -1 (still running, or ended by a signal).
    int Wait(int timeoutMs);
    // SIGKILL and reap; nothing when it has ended already.
    void Kill();
    pid_t Pid() const { return pid_; }

private:
    const std::string helper_;
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    std::string buffered_;
};

}  // namespace brtest
