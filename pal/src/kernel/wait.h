// Timed waits on a condition variable with the layer's time-out rule: INFINITE waits without
// limit, any other value is a count of milliseconds on the monotonic clock (0 only looks).
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "windows.h"

namespace pal {

// True when pred() became true within the time-out.
template <class Pred>
bool WaitFor(std::unique_lock<std::mutex>& lock, std::condition_variable& changed,
             DWORD milliseconds, Pred pred) {
    if (milliseconds == INFINITE) {
        changed.wait(lock, pred);
        return true;
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    return changed.wait_until(lock, deadline, pred);
}

}  // namespace pal
