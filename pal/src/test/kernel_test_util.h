// Helpers of the kernel area's tests.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace paltest {

using Clock = std::chrono::steady_clock;

inline long long MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// Polls until done() is true or the time is up; returns done().
inline bool Eventually(const std::function<bool()>& done, int milliseconds = 5000) {
    auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    while (!done()) {
        if (Clock::now() > deadline) {
            return done();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// A short pause that gives other threads time to act on something they should not do.
inline void Settle() {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

}  // namespace paltest
