// CWnd's members on its window: style changes, placement, centring, texts, timers and posts
// through the window's own handlers.
#include <gtest/gtest.h>

#include <string>

#include "appframe.h"
#include "test/appframe_fixture.h"

namespace {

using appframetest::AppframeTest;
using appframetest::PumpUntil;

class CTimerWnd : public CWnd {
public:
    int timers = 0;
    UINT_PTR lastTimer = 0;
    int posted = 0;
    void OnTimer(UINT_PTR id) {
        ++timers;
        lastTimer = id;
        KillTimer(id);
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_USER + 3)
            posted += int(wParam);
        return CWnd::WindowProc(message, wParam, lParam);
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTimerWnd, CWnd)
ON_WM_TIMER()
END_MESSAGE_MAP()

struct StyleCase {
    const char* name;
    DWORD initial;
    DWORD remove;
    DWORD add;
    BOOL changed;
    DWORD after;
};

TEST_F(AppframeTest, ModifyStyleChangesOnlyWhatItIsAskedAndSaysWhetherAnythingChanged) {
    const StyleCase cases[] = {
        {"add", WS_POPUP, 0, WS_MINIMIZEBOX, TRUE, WS_POPUP | WS_MINIMIZEBOX},
        {"remove", WS_POPUP | WS_SYSMENU, WS_SYSMENU, 0, TRUE, WS_POPUP},
        {"both", WS_POPUP | WS_SYSMENU, WS_SYSMENU, WS_MINIMIZEBOX, TRUE,
         WS_POPUP | WS_MINIMIZEBOX},
        {"nothing to do", WS_POPUP | WS_MINIMIZEBOX, 0, WS_MINIMIZEBOX, FALSE,
         WS_POPUP | WS_MINIMIZEBOX},
    };
    for (const StyleCase& c : cases) {
        SCOPED_TRACE(c.name);
        CWnd wnd;
        ASSERT_TRUE(
            wnd.CreateEx(WS_EX_CLIENTEDGE, nullptr, "", c.initial, 0, 0, 10, 10, nullptr, nullptr));
        EXPECT_EQ(wnd.ModifyStyle(c.remove, c.add), c.changed);
        EXPECT_EQ(wnd.GetStyle(), c.after);
        EXPECT_TRUE(wnd.ModifyStyleEx(WS_EX_CLIENTEDGE, 0, SWP_FRAMECHANGED));
        EXPECT_EQ(wnd.GetExStyle(), 0u);
        EXPECT_FALSE(wnd.ModifyStyleEx(WS_EX_CLIENTEDGE, 0, SWP_FRAMECHANGED));
    }
}

TEST_F(AppframeTest, PlacementAndCentring) {
    ASSERT_TRUE(PalSetScreenSize(1920, 1080));
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
    EXPECT_TRUE(wnd.SetWindowPos(nullptr, 0, 0, 822, 621, SWP_NOMOVE));
    wnd.CenterWindow();
    CRect rect;
    wnd.GetWindowRect(&rect);
    EXPECT_EQ(rect, CRect(549, 229, 549 + 822, 229 + 621));
    wnd.GetClientRect(&rect);
    EXPECT_EQ(rect, CRect(0, 0, 822, 621));

    CWnd child;
    ASSERT_TRUE(child.Create(nullptr, "", WS_VISIBLE, CRect(0, 0, 20, 10), &wnd, 1000));
    child.MoveWindow(CRect(4, 37, 818, 617));
    child.GetWindowRect(&rect);
    EXPECT_EQ(rect, CRect(549 + 4, 229 + 37, 549 + 818, 229 + 617));
    child.CenterWindow();
    child.GetWindowRect(&rect);
    EXPECT_EQ(rect.TopLeft(), CPoint(549 + 4, 229 + 20)) << "a child centres on its parent";
    EXPECT_EQ(wnd.GetDlgItem(1000), &child);
    EXPECT_EQ(child.GetDlgCtrlID(), 1000);
    EXPECT_EQ(child.GetParent(), &wnd);
}

TEST_F(AppframeTest, TextsIconsAndVisibility) {
    CWnd wnd;
    ASSERT_TRUE(
        wnd.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr));
    wnd.SetWindowText("BrindoDJ");
    char text[32] = "";
    EXPECT_EQ(wnd.GetWindowText(text, sizeof text), 8);
    EXPECT_STREQ(text, "BrindoDJ");
    HICON icon = reinterpret_cast<HICON>(0x1234);
    EXPECT_EQ(wnd.SetIcon(icon, TRUE), nullptr);
    EXPECT_EQ(wnd.SetIcon(nullptr, TRUE), icon) << "SetIcon gives the icon it replaces";
    EXPECT_FALSE(wnd.IsIconic());
    wnd.ShowWindow(SW_MINIMIZE);
    EXPECT_TRUE(wnd.IsIconic());
}

TEST_F(AppframeTest, TimersAndPostedMessagesReachTheWindowsHandlers) {
    CTimerWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(wnd.SetTimer(2559, 20), 2559u);
    EXPECT_TRUE(wnd.PostMessage(WM_USER + 3, 4));
    EXPECT_TRUE(PumpUntil([&] { return wnd.timers == 1 && wnd.posted == 4; }));
    EXPECT_EQ(wnd.lastTimer, 2559u);
    EXPECT_FALSE(wnd.KillTimer(2559)) << "the handler killed it already";
}

}  // namespace
