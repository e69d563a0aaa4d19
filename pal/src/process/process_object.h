// A process behind a HANDLE: a pidfd, the handle's access rights and, for a process this
// process started, the shared Child record that knows its exit status.
#pragma once

#include <sys/types.h>

#include <memory>
#include <mutex>

#include "process/child_process.h"
#include "kernel/handle.h"

namespace pal {

class ProcessObject : public Object {
public:
    // Takes ownership of pidfd. child is null for a process this process did not start.
    ProcessObject(pid_t pid, int pidfd, DWORD access, std::shared_ptr<Child> child);
    ~ProcessObject() override;

    // Signals when the process has ended (needs SYNCHRONIZE).
    DWORD Wait(DWORD milliseconds) override;
    BOOL Terminate(UINT exitCode);
    BOOL GetExitCode(LPDWORD exitCode);
    pid_t Pid() const { return pid_; }

private:
    bool HasEnded();

    const pid_t pid_;
    const int pidfd_;
    const DWORD access_;
    const std::shared_ptr<Child> child_;
    std::mutex lock_;
    bool terminated_ = false;  // for a process we did not start: its code is the one we gave
    DWORD terminateCode_ = 0;
};

// The primary thread of a started process (PROCESS_INFORMATION::hThread): it signals when the
// process ends.
class PrimaryThreadObject : public Object {
public:
    explicit PrimaryThreadObject(std::shared_ptr<ProcessObject> process)
        : process_(std::move(process)) {}
    DWORD Wait(DWORD milliseconds) override { return process_->Wait(milliseconds); }

private:
    std::shared_ptr<ProcessObject> process_;
};

// Waits until the fd is readable; WAIT_OBJECT_0, WAIT_TIMEOUT or WAIT_FAILED.
DWORD WaitReadable(int fd, DWORD milliseconds);

}  // namespace pal
