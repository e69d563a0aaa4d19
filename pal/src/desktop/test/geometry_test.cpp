// Child windows, placement and z-order: SetWindowPos, MoveWindow, the rectangles, coordinates,
// relatives, and what the default procedure makes of a change of place.
#include <gtest/gtest.h>

#include "desktop/test/desktop_test_support.h"

namespace {

using paltest::CreateAt;
using paltest::LastSeen;
using paltest::Log;
using paltest::SameRect;
using paltest::Step;
using paltest::Steps;
using paltest::TestClass;
using paltest::WindowTest;

const HWND kNoWindow = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1234));

TEST_F(WindowTest, ChildWindowsLiveInTheirParentsClientArea) {
    TestClass windowClass;
    HWND parent = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, {100, 200, 400, 500});
    HWND child = CreateAt(windowClass, WS_CHILD | WS_VISIBLE, parent, {10, 20, 60, 60}, 7);
    HWND grandchild = CreateAt(windowClass, WS_CHILD | WS_VISIBLE, child, {1, 2, 11, 12}, 8);
    ASSERT_TRUE(parent && child && grandchild) << GetLastError();

    RECT rect;
    ASSERT_TRUE(GetWindowRect(child, &rect));
    EXPECT_TRUE(SameRect(rect, {110, 220, 160, 260}));
    ASSERT_TRUE(GetWindowRect(grandchild, &rect));
    EXPECT_TRUE(SameRect(rect, {111, 222, 121, 232}));
    ASSERT_TRUE(GetClientRect(child, &rect));
    EXPECT_TRUE(SameRect(rect, {0, 0, 50, 40}));

    POINT point{3, 4};
    ASSERT_TRUE(ClientToScreen(grandchild, &point));
    EXPECT_EQ(point.x, 114);
    EXPECT_EQ(point.y, 226);
    ASSERT_TRUE(ScreenToClient(child, &point));
    EXPECT_EQ(point.x, 4);
    EXPECT_EQ(point.y, 6);

    EXPECT_EQ(GetParent(child), parent);
    EXPECT_EQ(GetParent(grandchild), child);
    EXPECT_EQ(GetParent(parent), nullptr);
    EXPECT_TRUE(IsChild(parent, grandchild));
    EXPECT_FALSE(IsChild(grandchild, parent));
    EXPECT_EQ(GetDlgItem(parent, 7), child);
    EXPECT_EQ(GetDlgItem(child, 8), grandchild);
    EXPECT_EQ(GetDlgCtrlID(grandchild), 8);
    EXPECT_EQ(GetDlgCtrlID(parent), 0);
    SetLastError(0);
    EXPECT_EQ(GetDlgItem(parent, 8), nullptr);  // only direct children count
    EXPECT_EQ(GetLastError(), ERROR_CONTROL_ID_NOT_FOUND);

    // Moving the parent carries its children along.
    ASSERT_TRUE(MoveWindow(parent, 0, 0, 300, 300, TRUE));
    ASSERT_TRUE(GetWindowRect(grandchild, &rect));
    EXPECT_TRUE(SameRect(rect, {11, 22, 21, 32}));
    EXPECT_TRUE(DestroyWindow(parent));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(IsWindow(grandchild));
}

TEST_F(WindowTest, AnOwnedPopupNamesItsOwnerAndGoesWithIt) {
    TestClass windowClass;
    HWND owner = CreateAt(windowClass, WS_POPUP, nullptr, {0, 0, 100, 100});
    HWND child = CreateAt(windowClass, WS_CHILD, owner, {0, 0, 10, 10});
    // Owned by a child's window: the owner is the child's top-level window.
    HWND popup = CreateAt(windowClass, WS_POPUP, child, {500, 500, 600, 600});
    HWND overlapped = CreateAt(windowClass, 0, owner, {0, 0, 10, 10});
    ASSERT_TRUE(owner && child && popup && overlapped);
    EXPECT_EQ(GetParent(popup), owner);
    EXPECT_EQ(GetWindow(popup, GW_OWNER), owner);
    EXPECT_EQ(GetParent(overlapped), nullptr);  // GetParent names owners of popups only
    EXPECT_EQ(GetWindow(overlapped, GW_OWNER), owner);
    RECT rect;
    ASSERT_TRUE(GetWindowRect(popup, &rect));
    EXPECT_TRUE(SameRect(rect, {500, 500, 600, 600}));  // screen coordinates, not the owner's
    Log().Clear();
    EXPECT_TRUE(DestroyWindow(owner));
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_FALSE(IsWindow(overlapped));
    // Owned windows go before their owner, children after its WM_DESTROY.
    EXPECT_EQ(Steps({WM_DESTROY, WM_NCDESTROY}), (std::vector<Step>{{overlapped, WM_DESTROY},
                                                                    {overlapped, WM_NCDESTROY},
                                                                    {popup, WM_DESTROY},
                                                                    {popup, WM_NCDESTROY},
                                                                    {owner, WM_DESTROY},
                                                                    {child, WM_DESTROY},
                                                                    {child, WM_NCDESTROY},
                                                                    {owner, WM_NCDESTROY}}));
}

TEST_F(WindowTest, SetWindowPosSendsChangingChangedThenMoveAndSize) {
    TestClass windowClass;
    HWND parent = CreateAt(windowClass, WS_POPUP, nullptr, {0, 0, 500, 500});
    HWND hwnd = CreateAt(windowClass, WS_CHILD, parent, {10, 10, 110, 60});
    ASSERT_TRUE(parent && hwnd);
    const struct {
        const char* name;
        int x, y, cx, cy;
        UINT flags;
        RECT expected;  // in the parent's client area
        std::vector<UINT> messages;
    } cases[] = {
        {"move and size",
         20,
         30,
         40,
         50,
         SWP_NOZORDER,
         {20, 30, 60, 80},
         {WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE}},
        {"move only",
         5,
         6,
         999,
         999,
         SWP_NOZORDER | SWP_NOSIZE,
         {5, 6, 45, 56},
         {WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE}},
        {"size only",
         999,
         999,
         70,
         80,
         SWP_NOZORDER | SWP_NOMOVE,
         {5, 6, 75, 86},
         {WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_SIZE}},
        {"nothing changes",
         5,
         6,
         70,
         80,
         SWP_NOZORDER,
         {5, 6, 75, 86},
         {WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED}},
        {"negative size is empty",
         5,
         6,
         -3,
         -4,
         SWP_NOZORDER,
         {5, 6, 5, 6},
         {WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_SIZE}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Log().Clear();
        ASSERT_TRUE(SetWindowPos(hwnd, nullptr, c.x, c.y, c.cx, c.cy, c.flags));
        EXPECT_EQ(Log().Messages(hwnd), c.messages);
        RECT rect;
        ASSERT_TRUE(GetWindowRect(hwnd, &rect));
        EXPECT_TRUE(SameRect(rect, c.expected));
        if (auto size = LastSeen(hwnd, WM_SIZE); size.message == WM_SIZE) {
            EXPECT_EQ(size.wParam, static_cast<WPARAM>(SIZE_RESTORED));
            EXPECT_EQ(size.lParam, MAKELPARAM(c.expected.right - c.expected.left,
                                              c.expected.bottom - c.expected.top));
        }
        if (auto move = LastSeen(hwnd, WM_MOVE); move.message == WM_MOVE) {
            EXPECT_EQ(move.lParam, MAKELPARAM(c.expected.left, c.expected.top));
        }
    }
    DestroyWindow(parent);
}

TEST_F(WindowTest, TheProcedureMayChangeTheNewPlaceInWindowPosChanging) {
    TestClass windowClass;
    HWND hwnd = CreateAt(windowClass, WS_POPUP, nullptr, {0, 0, 100, 100});
    ASSERT_NE(hwnd, nullptr);
    paltest::CurrentReaction() = [](HWND, UINT message, WPARAM,
                                    LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_WINDOWPOSCHANGING) {
            reinterpret_cast<WINDOWPOS*>(lParam)->cx = 64;  // a fixed width
        }
        return std::nullopt;
    };
    ASSERT_TRUE(SetWindowPos(hwnd, nullptr, 7, 8, 300, 200, SWP_NOZORDER));
    RECT rect;
    ASSERT_TRUE(GetWindowRect(hwnd, &rect));
    EXPECT_TRUE(SameRect(rect, {7, 8, 71, 208}));
    DestroyWindow(hwnd);
}

TEST_F(WindowTest, ZOrderOfSiblings) {
    TestClass windowClass;
    HWND parent = CreateAt(windowClass, WS_POPUP, nullptr, {0, 0, 100, 100});
    HWND a = CreateAt(windowClass, WS_CHILD, parent, {0, 0, 10, 10});
    HWND b = CreateAt(windowClass, WS_CHILD, parent, {0, 0, 10, 10});
    HWND c = CreateAt(windowClass, WS_CHILD, parent, {0, 0, 10, 10});
    HWND other = CreateAt(windowClass, WS_POPUP, nullptr, {0, 0, 10, 10});
    ASSERT_TRUE(parent && a && b && c && other);
    auto order = [&] {
        std::vector<HWND> seen;
        for (HWND hwnd = GetWindow(parent, GW_CHILD); hwnd; hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
            seen.push_back(hwnd);
        }
        return seen;
    };
    EXPECT_EQ(order(), (std::vector<HWND>{c, b, a}));  // a new window comes in front
    const UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    const struct {
        HWND hwnd;
        HWND after;
        std::vector<HWND> expected;
    } cases[] = {
        {a, HWND_TOP, {a, c, b}},
        {a, HWND_BOTTOM, {c, b, a}},
        {c, b, {b, c, a}},
        {a, b, {b, a, c}},
    };
    for (const auto& step : cases) {
        ASSERT_TRUE(SetWindowPos(step.hwnd, step.after, 0, 0, 0, 0, keep));
        EXPECT_EQ(order(), step.expected);
    }
    EXPECT_EQ(GetWindow(a, GW_HWNDFIRST), b);
    EXPECT_EQ(GetWindow(a, GW_HWNDLAST), c);
    EXPECT_EQ(GetWindow(b, GW_HWNDPREV), nullptr);
    // Only a sibling can be named; SWP_NOZORDER ignores the argument.
    for (HWND after : {other, parent, a}) {
        SetLastError(0);
        EXPECT_FALSE(SetWindowPos(a, after, 0, 0, 0, 0, keep));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
    EXPECT_TRUE(SetWindowPos(a, other, 0, 0, 0, 0, keep | SWP_NOZORDER));
    EXPECT_EQ(order(), (std::vector<HWND>{b, a, c}));
    DestroyWindow(other);
    DestroyWindow(parent);
}

TEST_F(WindowTest, MoveWindowRepaintsUnlessTold) {
    TestClass windowClass;
    HWND parent = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 200, 200});
    HWND child = CreateAt(windowClass, WS_CHILD | WS_VISIBLE, parent, {0, 0, 20, 20});
    ASSERT_TRUE(parent && child);
    paltest::PaintAll();  // created visible: both are to be painted
    ASSERT_TRUE(MoveWindow(child, 5, 5, 30, 30, FALSE));
    EXPECT_TRUE(paltest::PaintAll().empty());
    ASSERT_TRUE(MoveWindow(child, 6, 6, 30, 30, TRUE));
    std::vector<HWND> expected{parent, child};  // the child, and the parent area it uncovered
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(paltest::PaintAll(), expected);
    DestroyWindow(parent);
}

TEST_F(WindowTest, PlacementCallsFailForNoWindow) {
    RECT rect{};
    POINT point{};
    const struct {
        const char* name;
        std::function<BOOL()> call;
    } cases[] = {
        {"SetWindowPos", [] { return SetWindowPos(kNoWindow, nullptr, 0, 0, 1, 1, 0); }},
        {"MoveWindow", [] { return MoveWindow(kNoWindow, 0, 0, 1, 1, TRUE); }},
        {"GetWindowRect", [&] { return GetWindowRect(kNoWindow, &rect); }},
        {"GetClientRect", [&] { return GetClientRect(kNoWindow, &rect); }},
        {"ClientToScreen", [&] { return ClientToScreen(kNoWindow, &point); }},
        {"ScreenToClient", [&] { return ScreenToClient(kNoWindow, &point); }},
        {"GetParent", [] { return GetParent(kNoWindow) ? TRUE : FALSE; }},
        {"GetDlgItem", [] { return GetDlgItem(kNoWindow, 1) ? TRUE : FALSE; }},
        {"GetDlgCtrlID", [] { return GetDlgCtrlID(kNoWindow) ? TRUE : FALSE; }},
        {"ShowWindow", [] { return ShowWindow(kNoWindow, SW_SHOW); }},
        {"SetForegroundWindow", [] { return SetForegroundWindow(kNoWindow); }},
        {"SetFocus", [] { return SetFocus(kNoWindow) ? TRUE : FALSE; }},
        {"SetWindowTextA", [] { return SetWindowTextA(kNoWindow, "x"); }},
        {"GetWindowLongA", [] { return GetWindowLongA(kNoWindow, GWL_STYLE) ? TRUE : FALSE; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetLastError(0);
        EXPECT_FALSE(c.call());
        EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    }
    EXPECT_FALSE(IsWindowVisible(kNoWindow));
    EXPECT_FALSE(IsIconic(kNoWindow));
}

TEST_F(WindowTest, ChildrenNeedAParentOfThisProcessThatIsOnTheDesktop) {
    TestClass windowClass;
    HWND messageOnly = windowClass.Create(0, HWND_MESSAGE);
    ASSERT_NE(messageOnly, nullptr);
    SetLastError(0);
    EXPECT_EQ(CreateAt(windowClass, WS_CHILD, messageOnly, {0, 0, 1, 1}), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
    SetLastError(0);
    EXPECT_EQ(CreateAt(windowClass, WS_CHILD, kNoWindow, {0, 0, 1, 1}), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    DestroyWindow(messageOnly);
}

}  // namespace
