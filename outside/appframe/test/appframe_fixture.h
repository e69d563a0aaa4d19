// For the class library's tests: a runtime root of its own per test, and a pump that handles
// the test thread's messages until a condition holds or a deadline passes.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>

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

// The test control (test/test_control.cpp) as a registry entry's library.
inline std::string TestControlLibrary() {
    return std::string(BR_TEST_BIN_DIR) + "/AppframeTestControl.dll";
}

// A component registry of the test's own: entries ("{CLSID}=library" lines) in a components.ini
// of the test's root, named through PAL_COMPONENT_REGISTRY until the object goes.
class ScopedRegistry {
public:
    ScopedRegistry(const brtest::ScopedTestRoot& root, const std::string& entries)
        : path_(root.Path() + "/components.ini") {
        EXPECT_TRUE(brtest::WriteFile(path_, "[CLSID]\n" + entries));
        setenv("PAL_COMPONENT_REGISTRY", path_.c_str(), 1);
    }
    ~ScopedRegistry() { unsetenv("PAL_COMPONENT_REGISTRY"); }
    ScopedRegistry(const ScopedRegistry&) = delete;
    ScopedRegistry& operator=(const ScopedRegistry&) = delete;

private:
    std::string path_;
};

}  // namespace appframetest
