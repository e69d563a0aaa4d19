// For the class library's tests: a runtime root of its own per test, and a pump that handles
// the test thread's messages until a condition holds or a deadline passes.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "test_root.h"
#include "windows.h"

namespace appframetest {

// Handles this thread's messages until done() holds; false when the deadline passed first.
inline bool PumpUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds limit = std::chrono::seconds(5)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    MSG msg;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (!done())
            Sleep(5);
    }
    return true;
}

class AppframeTest : public ::testing::Test {
protected:
    brtest::ScopedTestRoot root_;
};

}  // namespace appframetest
