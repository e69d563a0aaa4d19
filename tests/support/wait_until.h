// Test support: waiting in tests. A test that waits for something waits for its condition with
// a deadline (WaitUntil); a test that checks that something does NOT happen watches for it
// through a named window (NothingFor), so the window reads as the claim it is.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace brtest {

// How often the condition is looked at.
inline constexpr std::chrono::milliseconds kPollInterval{10};

// True as soon as done() holds; false when the deadline passed first.
inline bool WaitUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds limit = std::chrono::seconds(5)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    return true;
}

// Watches happened() through the whole window: true when it never held, false as soon as it
// does. The window is how long the test gives a wrong event to show.
inline bool NothingFor(std::chrono::milliseconds window, const std::function<bool()>& happened) {
    const auto end = std::chrono::steady_clock::now() + window;
    do {
        if (happened()) {
            return false;
        }
        std::this_thread::sleep_for(kPollInterval);
    } while (std::chrono::steady_clock::now() < end);
    return !happened();
}

}  // namespace brtest
