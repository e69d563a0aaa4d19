#include "process/process_object.h"

#include <poll.h>
#include <signal.h>
#include <unistd.h>
#include "process/pidfd.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>

namespace pal {

DWORD WaitReadable(int fd, DWORD milliseconds) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        int timeout = -1;
        if (milliseconds != INFINITE) {
            auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
            timeout = static_cast<int>(std::clamp<long long>(left.count(), 0, INT_MAX));
        }
        pollfd entry{fd, POLLIN, 0};
        int n = poll(&entry, 1, timeout);
        if (n > 0) {
            return WAIT_OBJECT_0;
        }
        if (n < 0 && errno != EINTR) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        if (n == 0 && milliseconds != INFINITE && Clock::now() >= deadline) {
            return WAIT_TIMEOUT;
        }
    }
}

ProcessObject::ProcessObject(pid_t pid, int pidfd, DWORD access, std::shared_ptr<Child> child)
    : pid_(pid), pidfd_(pidfd), access_(access), child_(std::move(child)) {}

ProcessObject::~ProcessObject() {
    close(pidfd_);
}

DWORD ProcessObject::Wait(DWORD milliseconds) {
    if (!(access_ & SYNCHRONIZE)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return WAIT_FAILED;
    }
    DWORD result = WaitReadable(pidfd_, milliseconds);
    if (result == WAIT_OBJECT_0 && child_) {
        child_->Reap();  // so the exit code is there as soon as the wait returns
    }
    return result;
}

bool ProcessObject::HasEnded() {
    return WaitReadable(pidfd_, 0) == WAIT_OBJECT_0;
}

// Differs from Windows: SIGKILL cannot carry an exit code; the code is remembered by the layer, so a
// process ended this way reports uExitCode to the handles of the process that started it and to
// the handle that ended it.
BOOL ProcessObject::Terminate(UINT exitCode) {
    if (!(access_ & PROCESS_TERMINATE)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (HasEnded()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (child_) {
        child_->SetTerminateCode(exitCode);
    }
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (!terminated_) {
            terminated_ = true;
            terminateCode_ = exitCode;
        }
    }
    if (PidFdSendSignal(pidfd_, SIGKILL) != 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return TRUE;
}

// Differs from Windows: Linux keeps the exit status only for the parent. A process this process did not
// start reports, once ended, the code it was terminated with through this handle, else 0.
BOOL ProcessObject::GetExitCode(LPDWORD exitCode) {
    if (!(access_ & (PROCESS_QUERY_INFORMATION | PROCESS_QUERY_LIMITED_INFORMATION))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (!exitCode) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (child_) {
        *exitCode = child_->ExitCode();
        return TRUE;
    }
    if (!HasEnded()) {
        *exitCode = STILL_ACTIVE;
        return TRUE;
    }
    std::lock_guard<std::mutex> guard(lock_);
    *exitCode = terminated_ ? terminateCode_ : 0;
    return TRUE;
}

}  // namespace pal
