// Test support: the peer helper process (msgcenter_peer) with pipes to its standard input and
// output. It is killed when the object goes, so no test leaves one behind.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace mctest {

class PeerProcess {
public:
    PeerProcess() = default;
    ~PeerProcess() { Kill(); }
    PeerProcess(const PeerProcess&) = delete;
    PeerProcess& operator=(const PeerProcess&) = delete;

    // Starts build/test-bin/msgcenter_peer with these arguments; false when it cannot start.
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
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    std::string buffered_;
};

}  // namespace mctest
