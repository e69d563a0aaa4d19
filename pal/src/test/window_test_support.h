// For the window tests: a recording window procedure, classes made and removed per test, and a
// fixture that gives each test its own runtime root and an empty queue on the test thread.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "test_root.h"
#include "windows.h"

namespace paltest {

struct Seen {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD thread;
};

// What the recording procedure saw, from any thread, in order.
class MessageLog {
public:
    void Add(const Seen& seen) {
        std::lock_guard<std::mutex> guard(lock_);
        seen_.push_back(seen);
    }
    std::vector<Seen> All() {
        std::lock_guard<std::mutex> guard(lock_);
        return seen_;
    }
    std::vector<UINT> Messages(HWND hwnd = nullptr) {
        std::vector<UINT> messages;
        for (const Seen& seen : All()) {
            if (!hwnd || seen.hwnd == hwnd) {
                messages.push_back(seen.message);
            }
        }
        return messages;
    }
    void Clear() {
        std::lock_guard<std::mutex> guard(lock_);
        seen_.clear();
    }

private:
    std::mutex lock_;
    std::vector<Seen> seen_;
};

inline MessageLog& Log() {
    static MessageLog log;
    return log;
}

// What a test lets the recording procedure answer instead of DefWindowProcA; nothing means the
// default handling. Set before the windows are used, reset by the fixture.
using Reaction = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;
inline Reaction& CurrentReaction() {
    static Reaction reaction;
    return reaction;
}

inline LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Log().Add(Seen{hwnd, message, wParam, lParam, GetCurrentThreadId()});
    if (const Reaction& reaction = CurrentReaction()) {
        if (auto result = reaction(hwnd, message, wParam, lParam)) {
            return *result;
        }
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// A class of its own for each use, removed again when it goes.
class TestClass {
public:
    explicit TestClass(HBRUSH background = nullptr, UINT style = 0) {
        static int made = 0;
        name_ = "PalTest" + std::to_string(++made) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name();
        WNDCLASSA windowClass{};
        windowClass.style = style;
        windowClass.lpfnWndProc = &RecordingProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = background;
        windowClass.lpszClassName = name_.c_str();
        atom_ = RegisterClassA(&windowClass);
        EXPECT_NE(atom_, 0) << GetLastError();
    }
    ~TestClass() { UnregisterClassA(name_.c_str(), GetModuleHandleA(nullptr)); }
    TestClass(const TestClass&) = delete;
    TestClass& operator=(const TestClass&) = delete;

    const char* Name() const { return name_.c_str(); }
    ATOM Atom() const { return atom_; }

    HWND Create(DWORD style = 0, HWND parent = nullptr, const char* title = "",
                LPVOID param = nullptr) const {
        return CreateWindowExA(0, name_.c_str(), title, style, 10, 20, 300, 200, parent, nullptr,
                               GetModuleHandleA(nullptr), param);
    }

private:
    std::string name_;
    ATOM atom_ = 0;
};

// Every message the calling thread has now, taken, up to and with a WM_QUIT or a WM_PAINT (which
// stays until the window is painted).
inline std::vector<MSG> TakeAll(HWND filter = nullptr) {
    std::vector<MSG> taken;
    MSG msg;
    while (PeekMessageA(&msg, filter, 0, 0, PM_REMOVE)) {
        taken.push_back(msg);
        if (msg.message == WM_QUIT || msg.message == WM_PAINT) {
            break;
        }
    }
    return taken;
}

inline std::vector<UINT> MessagesOf(const std::vector<MSG>& taken) {
    std::vector<UINT> messages;
    for (const MSG& msg : taken) {
        messages.push_back(msg.message);
    }
    return messages;
}

// Each test: its own runtime root, an empty log, no reaction, and the test thread's queue empty
// before and after (tests run in one process too).
class WindowTest : public ::testing::Test {
protected:
    WindowTest() {
        Log().Clear();
        CurrentReaction() = nullptr;
        TakeAll();
    }
    ~WindowTest() override {
        TakeAll();
        CurrentReaction() = nullptr;
        Log().Clear();
    }

    brtest::ScopedTestRoot root_;
};

}  // namespace paltest
