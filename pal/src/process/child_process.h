// The processes this process started. Each child is watched by one layer thread that reaps it
// the moment it ends, so no child stays a zombie, whether or not anyone waits on or closes its
// handles. Handles of a child share its Child record, which keeps the exit status.
#pragma once

#include <sys/types.h>

#include <memory>
#include <mutex>

#include "windows.h"

namespace pal {

class Child {
public:
    Child(pid_t pid, int pidfd);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    pid_t Pid() const { return pid_; }
    int PidFd() const { return pidfd_; }

    // Reaps the child when it has ended; true once it is reaped. Never blocks.
    bool Reap();
    // The Windows exit code: STILL_ACTIVE until reaped; the code given to TerminateProcess when
    // that ended it; else the exit status, or 128 + the signal that ended it.
    DWORD ExitCode();
    // Records the code TerminateProcess asked for, before the signal is sent.
    void SetTerminateCode(DWORD code);

private:
    const pid_t pid_;
    const int pidfd_;
    std::mutex lock_;
    bool reaped_ = false;
    DWORD exitCode_ = STILL_ACTIVE;
    bool terminated_ = false;
    DWORD terminateCode_ = 0;
};

// Registers a new child with the reaper thread (started on first use).
void WatchChild(const std::shared_ptr<Child>& child);
// The registered child of that id while it is not yet reaped, else null.
std::shared_ptr<Child> FindChild(pid_t pid);

}  // namespace pal
