// A click on a notification icon from another thread (the control socket's) reaches the icon's
// window on its own thread.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "test/window_test_support.h"

namespace {

using paltest::WindowTest;

TEST_F(WindowTest, AClickFromAnotherThreadPostsToTheIconsThread) {
    paltest::TestClass windowClass;
    HWND hwnd = windowClass.Create(WS_POPUP);
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof(data);
    data.hWnd = hwnd;
    data.uID = 1522;
    data.uFlags = NIF_MESSAGE;
    data.uCallbackMessage = 2557;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &data));
    RECT rect = PalNotifyIcons().back().rect;
    std::thread clicker([&] {
        PalInputButton(VK_RBUTTON, TRUE, rect.left + 2, rect.top + 2);
        PalInputButton(VK_RBUTTON, FALSE, rect.left + 2, rect.top + 2);
    });
    std::vector<LPARAM> posted;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    MSG msg;
    while (posted.size() < 2 && std::chrono::steady_clock::now() < deadline) {
        if (!PeekMessageA(&msg, hwnd, 2557, 2557, PM_REMOVE)) {
            std::this_thread::yield();
            continue;
        }
        EXPECT_EQ(msg.wParam, 1522u);
        posted.push_back(msg.lParam);
    }
    clicker.join();
    EXPECT_EQ(posted, (std::vector<LPARAM>{WM_RBUTTONDOWN, WM_RBUTTONUP}));
    EXPECT_TRUE(Shell_NotifyIconA(NIM_DELETE, &data));
    DestroyWindow(hwnd);
}

}  // namespace
