// For the desktop tests: windows at a given place, and the messages the recording procedure saw
// for a window, with their parameters.
#pragma once

#include <algorithm>
#include <vector>

#include "test/window_test_support.h"

namespace paltest {

inline HWND CreateAt(const TestClass& windowClass, DWORD style, HWND parent, RECT rect,
                     int id = 0) {
    return CreateWindowExA(0, windowClass.Name(), "", style, rect.left, rect.top,
                           rect.right - rect.left, rect.bottom - rect.top, parent,
                           reinterpret_cast<HMENU>(static_cast<intptr_t>(id)),
                           GetModuleHandleA(nullptr), nullptr);
}

// The messages seen, each with its window, in order, limited to those in `only` when given.
struct Step {
    HWND hwnd;
    UINT message;
    bool operator==(const Step&) const = default;
};
inline std::vector<Step> Steps(const std::vector<UINT>& only = {}) {
    std::vector<Step> steps;
    for (const Seen& seen : Log().All()) {
        bool wanted = only.empty();
        for (UINT message : only) {
            wanted = wanted || message == seen.message;
        }
        if (wanted) {
            steps.push_back(Step{seen.hwnd, seen.message});
        }
    }
    return steps;
}

// The window's messages, in order, of those in `among`.
inline std::vector<UINT> MessagesAmong(HWND hwnd, const std::vector<UINT>& among) {
    std::vector<UINT> messages;
    for (const Step& step : Steps(among)) {
        if (step.hwnd == hwnd) {
            messages.push_back(step.message);
        }
    }
    return messages;
}

// The last message of that kind the window saw; its message is WM_NULL when there was none.
inline Seen LastSeen(HWND hwnd, UINT message) {
    Seen last{nullptr, WM_NULL, 0, 0, 0};
    for (const Seen& seen : Log().All()) {
        if (seen.hwnd == hwnd && seen.message == message) {
            last = seen;
        }
    }
    return last;
}

inline bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace paltest

namespace paltest {

// Takes and dispatches (with TranslateMessage) every message the thread has now, WM_PAINT
// included until nothing is left to paint; returns the messages taken, in order.
inline std::vector<MSG> PumpAll() {
    std::vector<MSG> taken;
    MSG msg;
    for (int i = 0; i < 1000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        taken.push_back(msg);
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return taken;
}

}  // namespace paltest

namespace paltest {

// Paints (through the default handling) every window that is to be painted, until none is left;
// returns the windows painted, sorted.
inline std::vector<HWND> PaintAll() {
    std::vector<HWND> painted;
    MSG msg;
    for (int i = 0; i < 100 && PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++i) {
        painted.push_back(msg.hwnd);
        DispatchMessageA(&msg);
    }
    std::sort(painted.begin(), painted.end());
    return painted;
}

}  // namespace paltest
