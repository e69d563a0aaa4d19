// The active, foreground and focus windows and their messages.
#include <gtest/gtest.h>

#include <thread>

#include "desktop/test/desktop_test_support.h"

namespace {

using paltest::CreateAt;
using paltest::LastSeen;
using paltest::Log;
using paltest::Step;
using paltest::Steps;
using paltest::TestClass;
using paltest::WindowTest;

const std::vector<UINT> kActivation{WM_ACTIVATE, WM_SETFOCUS, WM_KILLFOCUS};

TEST_F(WindowTest, AVisibleTopLevelWindowIsActivatedAtCreation) {
    TestClass windowClass;
    HWND hwnd = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 10, 10});
    HWND hidden = CreateAt(windowClass, WS_POPUP, nullptr, {0, 0, 10, 10});
    ASSERT_TRUE(hwnd && hidden);
    EXPECT_EQ(Steps(kActivation), (std::vector<Step>{{hwnd, WM_ACTIVATE}, {hwnd, WM_SETFOCUS}}));
    EXPECT_EQ(GetActiveWindow(), hwnd);
    EXPECT_EQ(GetForegroundWindow(), hwnd);
    EXPECT_EQ(GetFocus(), hwnd);
    DestroyWindow(hidden);
    DestroyWindow(hwnd);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(WindowTest, SetFocusActivatesTheTopLevelWindowFirst) {
    TestClass windowClass;
    HWND a = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 10, 10});
    HWND child = CreateAt(windowClass, WS_CHILD | WS_VISIBLE, a, {0, 0, 5, 5});
    HWND b = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 10, 10});
    ASSERT_TRUE(a && child && b);
    ASSERT_EQ(GetFocus(), b);
    Log().Clear();
    EXPECT_EQ(SetFocus(child), b);
    EXPECT_EQ(Steps(kActivation), (std::vector<Step>{{b, WM_ACTIVATE},
                                                     {a, WM_ACTIVATE},
                                                     {b, WM_KILLFOCUS},
                                                     {a, WM_SETFOCUS},
                                                     {a, WM_KILLFOCUS},
                                                     {child, WM_SETFOCUS}}));
    EXPECT_EQ(LastSeen(b, WM_ACTIVATE).wParam, static_cast<WPARAM>(WA_INACTIVE));
    EXPECT_EQ(LastSeen(b, WM_ACTIVATE).lParam, reinterpret_cast<LPARAM>(a));
    EXPECT_EQ(LastSeen(a, WM_ACTIVATE).wParam, static_cast<WPARAM>(WA_ACTIVE));
    EXPECT_EQ(LastSeen(a, WM_ACTIVATE).lParam, reinterpret_cast<LPARAM>(b));
    EXPECT_EQ(LastSeen(child, WM_SETFOCUS).wParam, reinterpret_cast<WPARAM>(a));
    EXPECT_EQ(LastSeen(a, WM_KILLFOCUS).wParam, reinterpret_cast<WPARAM>(child));
    EXPECT_EQ(GetFocus(), child);
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(GetWindow(b, GW_HWNDFIRST), a);  // the active window comes to the front

    // Focus on the window that has it: nothing happens.
    Log().Clear();
    EXPECT_EQ(SetFocus(child), child);
    EXPECT_TRUE(Steps(kActivation).empty());
    // SetFocus(NULL) takes the focus away; the window stays active.
    EXPECT_EQ(SetFocus(nullptr), child);
    EXPECT_EQ(Steps(kActivation), (std::vector<Step>{{child, WM_KILLFOCUS}}));
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(GetActiveWindow(), a);
    DestroyWindow(a);
    DestroyWindow(b);
}

TEST_F(WindowTest, WhenTheActiveWindowGoesTheNextOneIsActivated) {
    TestClass windowClass;
    const struct {
        const char* name;
        std::function<void(HWND)> leave;
    } cases[] = {
        {"hidden", [](HWND hwnd) { ShowWindow(hwnd, SW_HIDE); }},
        {"minimised", [](HWND hwnd) { ShowWindow(hwnd, SW_MINIMIZE); }},
        {"destroyed", [](HWND hwnd) { DestroyWindow(hwnd); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HWND back = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 10, 10});
        HWND hidden = CreateAt(windowClass, WS_POPUP, nullptr, {0, 0, 10, 10});
        HWND front = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 10, 10});
        ASSERT_TRUE(back && hidden && front);
        ASSERT_EQ(GetActiveWindow(), front);
        c.leave(front);
        EXPECT_EQ(GetActiveWindow(), back);  // the hidden one is passed over
        EXPECT_EQ(GetFocus(), back);
        DestroyWindow(front);
        DestroyWindow(hidden);
        DestroyWindow(back);
    }
}

TEST_F(WindowTest, AnOwnedWindowHandsActivationBackToItsOwner) {
    TestClass windowClass;
    HWND owner = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 10, 10});
    HWND other = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 10, 10});
    HWND owned = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, owner, {0, 0, 10, 10});
    ASSERT_TRUE(owner && other && owned);
    DestroyWindow(owned);
    EXPECT_EQ(GetActiveWindow(), owner);  // not the frontmost other window
    DestroyWindow(other);
    DestroyWindow(owner);
}

TEST_F(WindowTest, SetForegroundWindowActivatesTheTopLevelWindowOfAChild) {
    TestClass windowClass;
    HWND a = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 10, 10});
    HWND child = CreateAt(windowClass, WS_CHILD | WS_VISIBLE, a, {0, 0, 5, 5});
    HWND b = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 10, 10});
    ASSERT_TRUE(a && child && b);
    EXPECT_TRUE(SetForegroundWindow(child));
    EXPECT_EQ(GetForegroundWindow(), a);
    EXPECT_EQ(GetFocus(), a);
    EXPECT_EQ(SetActiveWindow(b), a);
    EXPECT_EQ(GetActiveWindow(), b);
    DestroyWindow(a);
    DestroyWindow(b);
}

TEST_F(WindowTest, FocusAndActivationOfAnotherThreadsWindowFail) {
    TestClass windowClass;
    HWND mine = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 10, 10});
    ASSERT_NE(mine, nullptr);
    HWND focus = nullptr;
    HWND active = nullptr;
    HWND setFocus = mine;
    DWORD setFocusError = 0;
    HWND setActive = mine;
    DWORD setActiveError = 0;
    std::thread other([&] {
        focus = GetFocus();
        active = GetActiveWindow();
        SetLastError(0);
        setFocus = SetFocus(mine);
        setFocusError = GetLastError();
        SetLastError(0);
        setActive = SetActiveWindow(mine);
        setActiveError = GetLastError();
    });
    other.join();
    EXPECT_EQ(focus, nullptr);  // the focus window is of another thread
    EXPECT_EQ(active, nullptr);
    EXPECT_EQ(setFocus, nullptr);
    EXPECT_EQ(setFocusError, ERROR_ACCESS_DENIED);
    EXPECT_EQ(setActive, nullptr);
    EXPECT_EQ(setActiveError, ERROR_ACCESS_DENIED);
    EXPECT_EQ(GetFocus(), mine);
    DestroyWindow(mine);
}

TEST_F(WindowTest, DisabledWindowsTakeNoFocus) {
    TestClass windowClass;
    HWND parent = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 10, 10});
    HWND child = CreateAt(windowClass, WS_CHILD | WS_VISIBLE, parent, {0, 0, 5, 5});
    ASSERT_TRUE(parent && child);
    ASSERT_EQ(SetFocus(child), parent);
    EXPECT_FALSE(EnableWindow(child, FALSE));  // was enabled
    EXPECT_FALSE(IsWindowEnabled(child));
    EXPECT_EQ(GetFocus(), nullptr);  // disabling takes the focus away
    EXPECT_EQ(SetFocus(child), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_TRUE(EnableWindow(child, TRUE));  // was disabled
    EXPECT_EQ(SetFocus(child), nullptr);
    EXPECT_EQ(GetFocus(), child);
    DestroyWindow(parent);
}

}  // namespace
