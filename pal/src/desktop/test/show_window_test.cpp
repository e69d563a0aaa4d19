// ShowWindow, minimising and restoring, visibility of children, and the system commands.
#include <gtest/gtest.h>

#include <functional>

#include "desktop/test/desktop_test_support.h"

namespace {

using paltest::CreateAt;
using paltest::LastSeen;
using paltest::Log;
using paltest::TestClass;
using paltest::WindowTest;

TEST_F(WindowTest, ShowWindowCommands) {
    TestClass windowClass;
    const struct {
        const char* name;
        DWORD style;  // at creation
        int command;
        BOOL result;  // was it visible
        BOOL visible;
        BOOL iconic;
        std::vector<UINT> messages;  // of the window's own messages, those listed below
        WPARAM sizeType;             // of the WM_SIZE, when there is one
    } cases[] = {
        {"show hidden", 0, SW_SHOW, FALSE, TRUE, FALSE, {WM_SHOWWINDOW, WM_ACTIVATE}, 0},
        {"show shown", WS_VISIBLE, SW_SHOW, TRUE, TRUE, FALSE, {}, 0},
        {"hide shown", WS_VISIBLE, SW_HIDE, TRUE, FALSE, FALSE, {WM_SHOWWINDOW, WM_ACTIVATE}, 0},
        {"hide hidden", 0, SW_HIDE, FALSE, FALSE, FALSE, {}, 0},
        {"minimise shown",
         WS_VISIBLE,
         SW_MINIMIZE,
         TRUE,
         TRUE,
         TRUE,
         {WM_ACTIVATE, WM_SIZE},
         SIZE_MINIMIZED},
        {"minimise hidden",
         0,
         SW_MINIMIZE,
         FALSE,
         TRUE,
         TRUE,
         {WM_SHOWWINDOW, WM_SIZE},
         SIZE_MINIMIZED},
        {"show normal minimised",
         WS_VISIBLE | WS_MINIMIZE,
         SW_SHOWNORMAL,
         TRUE,
         TRUE,
         FALSE,
         {WM_SIZE, WM_ACTIVATE},
         SIZE_RESTORED},
        {"restore minimised",
         WS_VISIBLE | WS_MINIMIZE,
         SW_RESTORE,
         TRUE,
         TRUE,
         FALSE,
         {WM_SIZE, WM_ACTIVATE},
         SIZE_RESTORED},
        {"show keeps minimised", WS_VISIBLE | WS_MINIMIZE, SW_SHOW, TRUE, TRUE, TRUE, {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HWND hwnd = CreateAt(windowClass, WS_POPUP | c.style, nullptr, {10, 10, 110, 60});
        ASSERT_NE(hwnd, nullptr);
        Log().Clear();
        EXPECT_EQ(ShowWindow(hwnd, c.command), c.result);
        EXPECT_EQ(IsWindowVisible(hwnd), c.visible);
        EXPECT_EQ(IsIconic(hwnd), c.iconic);
        EXPECT_EQ(paltest::MessagesAmong(hwnd, {WM_SHOWWINDOW, WM_SIZE, WM_ACTIVATE}), c.messages);
        if (auto size = LastSeen(hwnd, WM_SIZE); size.message == WM_SIZE) {
            EXPECT_EQ(size.wParam, c.sizeType);
            EXPECT_EQ(size.lParam, c.sizeType == SIZE_MINIMIZED ? 0 : MAKELPARAM(100, 50));
        }
        DestroyWindow(hwnd);
    }
}

TEST_F(WindowTest, AChildIsVisibleOnlyWithItsParentsAndIsPaintedOnlyThen) {
    TestClass windowClass;
    // Whatever happened to the child while its parent was hidden, showing the parent paints
    // both whole.
    const struct {
        const char* name;
        RECT created;
        std::function<void(HWND parent, HWND child)> meanwhile;
        std::function<void(HWND parent)> show;
    } cases[] = {
        {"created at its size", {0, 0, 10, 10}, nullptr,
         [](HWND parent) { ShowWindow(parent, SW_SHOW); }},
        {"sized while the parent was hidden", {0, 0, 0, 0},
         [](HWND, HWND child) { MoveWindow(child, 0, 0, 10, 10, TRUE); },
         [](HWND parent) { ShowWindow(parent, SW_SHOW); }},
        {"painted, then hidden with its parent", {0, 0, 10, 10},
         [](HWND parent, HWND) {
             ShowWindow(parent, SW_SHOW);
             paltest::PaintAll();
             ShowWindow(parent, SW_HIDE);
         },
         [](HWND parent) { ShowWindow(parent, SW_SHOW); }},
        {"parent shown by SetWindowPos", {0, 0, 0, 0},
         [](HWND, HWND child) { MoveWindow(child, 0, 0, 10, 10, TRUE); },
         [](HWND parent) {
             SetWindowPos(parent, nullptr, 0, 0, 0, 0,
                          SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HWND parent = CreateAt(windowClass, WS_POPUP, nullptr, {0, 0, 100, 100});
        HWND child = CreateAt(windowClass, WS_CHILD | WS_VISIBLE, parent, c.created);
        ASSERT_TRUE(parent && child);
        EXPECT_FALSE(IsWindowVisible(child));
        if (c.meanwhile) {
            c.meanwhile(parent, child);
        }
        EXPECT_TRUE(paltest::TakeAll().empty());  // no WM_PAINT for a child of a hidden parent
        c.show(parent);
        EXPECT_TRUE(IsWindowVisible(child));
        std::vector<HWND> expected{parent, child};
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(paltest::PaintAll(), expected);
        DestroyWindow(parent);
    }
}

TEST_F(WindowTest, SystemCommandsOfTheDefaultProcedure) {
    TestClass windowClass;
    HWND hwnd = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 100, 100});
    ASSERT_NE(hwnd, nullptr);
    // The low four bits are the system's own and do not matter.
    SendMessageA(hwnd, WM_SYSCOMMAND, SC_MINIMIZE | 0x3, 0);
    EXPECT_TRUE(IsIconic(hwnd));
    EXPECT_NE(GetActiveWindow(), hwnd);
    SendMessageA(hwnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(IsIconic(hwnd));
    EXPECT_EQ(GetActiveWindow(), hwnd);
    Log().Clear();
    SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(Log().Messages(hwnd).at(1), static_cast<UINT>(WM_CLOSE));
    EXPECT_FALSE(IsWindow(hwnd));  // the default WM_CLOSE destroys it
}

}  // namespace
