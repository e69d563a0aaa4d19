// Placement and visibility changed from another thread: the window's messages are handled on
// its own thread, which keeps taking messages meanwhile.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "desktop/test/desktop_test_support.h"

namespace {

using paltest::CreateAt;
using paltest::LastSeen;
using paltest::Log;
using paltest::TestClass;
using paltest::WindowTest;

// Takes and dispatches messages on this thread until done is set, for at most ten seconds.
bool PumpUntil(const std::atomic<bool>& done) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    MSG msg;
    while (!done.load()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&msg);
        }
        std::this_thread::yield();
    }
    return true;
}

TEST_F(WindowTest, PlacementFromAnotherThreadReachesTheWindowsThread) {
    TestClass windowClass;
    HWND hwnd = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 100, 100});
    ASSERT_NE(hwnd, nullptr);
    Log().Clear();
    std::atomic<bool> done{false};
    BOOL moved = FALSE;
    BOOL wasVisible = FALSE;
    std::thread other([&] {
        moved = MoveWindow(hwnd, 10, 20, 30, 40, TRUE);
        wasVisible = ShowWindow(hwnd, SW_MINIMIZE);
        done = true;
    });
    bool finished = PumpUntil(done);
    other.join();
    ASSERT_TRUE(finished);
    EXPECT_TRUE(moved);
    EXPECT_TRUE(wasVisible);
    EXPECT_TRUE(IsIconic(hwnd));
    DWORD self = GetCurrentThreadId();
    for (UINT message : {WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE}) {
        paltest::Seen seen = LastSeen(hwnd, message);
        EXPECT_EQ(seen.message, message);
        EXPECT_EQ(seen.thread, self) << message;
    }
    EXPECT_EQ(LastSeen(hwnd, WM_SIZE).wParam, static_cast<WPARAM>(SIZE_MINIMIZED));
    RECT rect;
    ASSERT_TRUE(GetWindowRect(hwnd, &rect));
    EXPECT_TRUE(paltest::SameRect(rect, {10, 20, 40, 60}));
    DestroyWindow(hwnd);
}

}  // namespace
