#include "wait.h"

#include <poll.h>

#include <cerrno>
#include <climits>

namespace relayhub {

Deadline Deadline::After(DWORD milliseconds) {
    Deadline d;
    if (milliseconds != 0 && milliseconds != INFINITE) {
        d.limited_ = true;
        d.at_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    }
    return d;
}

int Deadline::PollTimeout() const {
    if (!limited_) {
        return -1;
    }
    auto left = at_ - std::chrono::steady_clock::now();
    if (left <= left.zero()) {
        return 0;
    }
    auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
}

WaitResult PollWait(int fd, short events, const Deadline& deadline) {
    for (;;) {
        pollfd p = {fd, events, 0};
        int n = poll(&p, 1, deadline.PollTimeout());
        if (n > 0) {
            return WaitResult::kReady;
        }
        if (n < 0 && errno != EINTR) {
            return WaitResult::kReady;  // the socket call that follows reports the error
        }
        if (deadline.Passed()) {
            return WaitResult::kTimeout;
        }
    }
}

}  // namespace relayhub
