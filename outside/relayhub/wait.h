// How a call waits for its socket: until a deadline (or without one), by poll on an ordinary
// thread, or by the delivery loop on an endpoint's own delivery thread.
#pragma once

#include <chrono>

#include "pal/types.h"

namespace relayhub {

class Deadline {
public:
    // A call's time-out in milliseconds; 0 and INFINITE set no limit.
    static Deadline After(DWORD milliseconds);

    bool Limited() const { return limited_; }
    bool Passed() const { return limited_ && std::chrono::steady_clock::now() >= at_; }
    // The time left for poll: -1 without a limit, else milliseconds rounded up.
    int PollTimeout() const;

private:
    bool limited_ = false;
    std::chrono::steady_clock::time_point at_;
};

enum class WaitResult { kReady, kTimeout, kStopped };

class Waiter {
public:
    // Waits until fd reports one of `events` (or an error or hang-up), or the deadline passes.
    virtual WaitResult Wait(int fd, short events, const Deadline& deadline) = 0;

protected:
    ~Waiter() = default;
};

// The waiter of ordinary threads.
WaitResult PollWait(int fd, short events, const Deadline& deadline);

}  // namespace relayhub
