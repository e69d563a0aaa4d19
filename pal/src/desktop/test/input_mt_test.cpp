// Input fed from another thread (as the control socket and a display backend do) while the
// window's thread takes its messages.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "desktop/test/desktop_test_support.h"

namespace {

using paltest::CreateAt;
using paltest::Log;
using paltest::TestClass;
using paltest::WindowTest;

TEST_F(WindowTest, InputFromAnotherThreadIsHandledOnTheWindowsThreadInOrder) {
    TestClass windowClass;
    HWND hwnd = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 100, 100});
    ASSERT_NE(hwnd, nullptr);
    paltest::PumpAll();
    Log().Clear();
    constexpr int kClicks = 50;
    std::thread feeder([] {
        for (int i = 0; i < kClicks; ++i) {
            PalInputButton(VK_LBUTTON, TRUE, 10 + i, 10);
            PalInputButton(VK_LBUTTON, FALSE, 10 + i, 10);
        }
    });
    // GetMessageA waits for the input; stop at the last release or the deadline.
    int releases = 0;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    MSG msg;
    while (releases < kClicks && std::chrono::steady_clock::now() < deadline) {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            std::this_thread::yield();
            continue;
        }
        DispatchMessageA(&msg);
        releases += msg.message == WM_LBUTTONUP ? 1 : 0;
    }
    feeder.join();
    ASSERT_EQ(releases, kClicks);
    DWORD self = GetCurrentThreadId();
    int expectedX = 10;
    bool down = false;
    for (const paltest::Seen& seen : Log().All()) {
        EXPECT_EQ(seen.thread, self);
        if (seen.message == WM_LBUTTONDOWN) {
            EXPECT_FALSE(down);
            EXPECT_EQ(GET_X_LPARAM(seen.lParam), expectedX);
            down = true;
        } else if (seen.message == WM_LBUTTONUP) {
            EXPECT_TRUE(down);
            EXPECT_EQ(GET_X_LPARAM(seen.lParam), expectedX++);
            down = false;
        }
    }
    DestroyWindow(hwnd);
}

}  // namespace
