// Message maps: each mapped message reaches its typed handler with its parameters unpacked, a
// derived map comes before its base's, unmapped messages and Default() reach the window's
// default procedure, commands go through OnCommand to the map's command entries.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "appframe.h"
#include "test/appframe_fixture.h"

namespace {

using appframetest::AppframeTest;

std::string Hwnd(const CWnd* wnd) {
    return wnd ? std::to_string(reinterpret_cast<uintptr_t>(wnd->m_hWnd)) : "null";
}

class CMapWnd : public CWnd {
public:
    std::vector<std::string> seen;
    HICON dragIcon = reinterpret_cast<HICON>(0x5150);
    void Add(const std::string& s) { seen.push_back(s); }
    static std::string Pt(CPoint p) { return std::to_string(p.x) + " " + std::to_string(p.y); }

    void OnPaint() {
        CPaintDC dc(this);
        Add(dc.m_hDC ? "OnPaint dc" : "OnPaint nodc");
    }
    void OnTimer(UINT_PTR id) { Add("OnTimer " + std::to_string(id)); }
    void OnSize(UINT type, int cx, int cy) {
        Add("OnSize " + std::to_string(type) + " " + std::to_string(cx) + " " + std::to_string(cy));
    }
    void OnClose() { Add("OnClose"); }
    void OnSysCommand(UINT id, LPARAM l) {
        Add("OnSysCommand " + std::to_string(id) + " " + std::to_string(l));
    }
    HCURSOR OnQueryDragIcon() {
        Add("OnQueryDragIcon");
        return reinterpret_cast<HCURSOR>(dragIcon);
    }
    void OnSetFocus(CWnd* old) { Add("OnSetFocus " + Hwnd(old)); }
    LRESULT OnNcHitTest(CPoint p) {
        Add("OnNcHitTest " + Pt(p));
        return HTCAPTION;
    }
    BOOL OnSetCursor(CWnd* wnd, UINT hit, UINT message) {
        Add("OnSetCursor " + Hwnd(wnd) + " " + std::to_string(hit) + " " + std::to_string(message));
        return TRUE;
    }
    void OnNcLButtonDown(UINT hit, CPoint p) {
        Add("OnNcLButtonDown " + std::to_string(hit) + " " + Pt(p));
    }
    void OnLButtonDown(UINT f, CPoint p) {
        Add("OnLButtonDown " + std::to_string(f) + " " + Pt(p));
    }
    void OnLButtonUp(UINT f, CPoint p) { Add("OnLButtonUp " + std::to_string(f) + " " + Pt(p)); }
    void OnMouseMove(UINT f, CPoint p) { Add("OnMouseMove " + std::to_string(f) + " " + Pt(p)); }
    void OnRButtonDown(UINT f, CPoint p) {
        Add("OnRButtonDown " + std::to_string(f) + " " + Pt(p));
    }
    void OnRButtonUp(UINT f, CPoint p) { Add("OnRButtonUp " + std::to_string(f) + " " + Pt(p)); }
    void OnFirst() { Add("OnFirst"); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CMapWnd, CWnd)
ON_WM_PAINT()
ON_WM_TIMER()
ON_WM_SIZE()
ON_WM_CLOSE()
ON_WM_SYSCOMMAND()
ON_WM_QUERYDRAGICON()
ON_WM_SETFOCUS()
ON_WM_NCHITTEST()
ON_WM_SETCURSOR()
ON_WM_NCLBUTTONDOWN()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_MOUSEMOVE()
ON_WM_RBUTTONDOWN()
ON_WM_RBUTTONUP()
ON_COMMAND(100, &CMapWnd::OnFirst)
END_MESSAGE_MAP()

// A derived map: its own timer handler, and its close handler takes the default handling.
class CDerivedWnd : public CMapWnd {
public:
    void OnTimer(UINT_PTR id) { Add("Derived OnTimer " + std::to_string(id)); }
    void OnClose() {
        Add("Derived OnClose");
        CWnd::OnClose();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedWnd, CMapWnd)
ON_WM_TIMER()
ON_WM_CLOSE()
END_MESSAGE_MAP()

// No map of its own: every message takes the default handling.
class CPlainWnd : public CWnd {};

bool MakeWindow(CWnd& wnd) {
    return wnd.CreateEx(0, nullptr, "map", WS_POPUP, 10, 20, 400, 300, nullptr, nullptr);
}

struct Case {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::string seen;
    LRESULT result;
};

TEST_F(AppframeTest, EachMappedMessageReachesItsHandlerWithItsParameters) {
    CMapWnd wnd;
    ASSERT_TRUE(MakeWindow(wnd));
    CMapWnd other;
    ASSERT_TRUE(MakeWindow(other));
    WPARAM otherWp = reinterpret_cast<WPARAM>(other.m_hWnd);
    const Case cases[] = {
        {"paint", WM_PAINT, 0, 0, "OnPaint dc", 0},
        {"timer", WM_TIMER, 7, 0, "OnTimer 7", 0},
        {"size", WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(300, 200), "OnSize 1 300 200", 0},
        {"close", WM_CLOSE, 0, 0, "OnClose", 0},
        {"syscommand", WM_SYSCOMMAND, SC_MINIMIZE, 0x1234, "OnSysCommand 61472 4660", 0},
        {"drag icon", WM_QUERYDRAGICON, 0, 0, "OnQueryDragIcon", 0x5150},
        {"set focus", WM_SETFOCUS, otherWp, 0, "OnSetFocus " + Hwnd(&other), 0},
        {"hit test", WM_NCHITTEST, 0, MAKELPARAM(100, 50), "OnNcHitTest 100 50", HTCAPTION},
        {"set cursor", WM_SETCURSOR, otherWp, MAKELPARAM(HTCLOSE, WM_MOUSEMOVE),
         "OnSetCursor " + Hwnd(&other) + " 20 512", TRUE},
        {"nc button", WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(30, 40), "OnNcLButtonDown 2 30 40",
         0},
        {"negative point", WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-5, 12), "OnLButtonDown 1 -5 12",
         0},
        {"l up", WM_LBUTTONUP, 0, MAKELPARAM(3, 4), "OnLButtonUp 0 3 4", 0},
        {"move", WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, MAKELPARAM(8, 9), "OnMouseMove 5 8 9", 0},
        {"r down", WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(1, 2), "OnRButtonDown 2 1 2", 0},
        {"r up", WM_RBUTTONUP, 0, MAKELPARAM(1, 2), "OnRButtonUp 0 1 2", 0},
        {"command", WM_COMMAND, 100, 0, "OnFirst", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        wnd.seen.clear();
        EXPECT_EQ(SendMessageA(wnd.m_hWnd, c.message, c.wParam, c.lParam), c.result);
        EXPECT_EQ(wnd.seen, std::vector<std::string>{c.seen});
    }
    EXPECT_TRUE(IsWindow(wnd.m_hWnd))
        << "a mapped WM_CLOSE that does not call the base keeps the window";
}

TEST_F(AppframeTest, UnmappedMessagesAndCommandsTakeTheDefaultHandling) {
    CMapWnd wnd;
    ASSERT_TRUE(MakeWindow(wnd));
    wnd.seen.clear();  // creation's own WM_SIZE
    EXPECT_EQ(SendMessageA(wnd.m_hWnd, WM_COMMAND, 101, 0), 0);
    EXPECT_EQ(SendMessageA(wnd.m_hWnd, WM_USER + 5, 1, 2), 0);
    EXPECT_TRUE(wnd.seen.empty());

    CPlainWnd plain;
    ASSERT_TRUE(MakeWindow(plain));
    HWND hWnd = plain.m_hWnd;
    SendMessageA(hWnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(hWnd)) << "the default WM_CLOSE destroys the window";
    EXPECT_EQ(plain.m_hWnd, nullptr) << "the object lets its window go at WM_NCDESTROY";
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
}

TEST_F(AppframeTest, ADerivedMapComesBeforeItsBaseAndDefaultReachesTheDefaultProcedure) {
    CDerivedWnd wnd;
    ASSERT_TRUE(MakeWindow(wnd));
    EXPECT_EQ(wnd.seen, (std::vector<std::string>{"OnSize 0 400 300"}));  // creation's own
    wnd.seen.clear();
    HWND hWnd = wnd.m_hWnd;
    SendMessageA(hWnd, WM_TIMER, 3, 0);
    SendMessageA(hWnd, WM_SIZE, 0, MAKELPARAM(5, 6));
    SendMessageA(hWnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(wnd.seen,
              (std::vector<std::string>{"Derived OnTimer 3", "OnSize 0 5 6", "Derived OnClose"}));
    EXPECT_FALSE(IsWindow(hWnd)) << "CWnd::OnClose passes WM_CLOSE to the default procedure";
}

// A window of a class of its own, whose procedure records what reaches it.
std::vector<UINT>& OldProcSeen() {
    static std::vector<UINT> seen;
    return seen;
}
LRESULT CALLBACK OldProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    OldProcSeen().push_back(message);
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

TEST_F(AppframeTest, ASubclassedWindowKeepsItsOldProcedureForWhatTheMapDoesNotTake) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &OldProc;
    wc.lpszClassName = "AppframeOldProc";
    ASSERT_NE(RegisterClassA(&wc), 0);
    HWND hWnd = CreateWindowExA(0, "AppframeOldProc", "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(hWnd, nullptr);
    {
        CMapWnd wnd;
        ASSERT_TRUE(wnd.SubclassWindow(hWnd));
        EXPECT_FALSE(CMapWnd().SubclassWindow(hWnd)) << "a window takes one object";
        OldProcSeen().clear();
        SendMessageA(hWnd, WM_TIMER, 9, 0);
        SendMessageA(hWnd, WM_USER + 1, 0, 0);
        EXPECT_EQ(wnd.seen, std::vector<std::string>{"OnTimer 9"});
        EXPECT_EQ(OldProcSeen(), std::vector<UINT>{WM_USER + 1});
        EXPECT_EQ(wnd.UnsubclassWindow(), hWnd);
        SendMessageA(hWnd, WM_TIMER, 9, 0);
        EXPECT_EQ(wnd.seen.size(), 1u);
        EXPECT_EQ(OldProcSeen(), (std::vector<UINT>{WM_USER + 1, WM_TIMER}));
    }
    EXPECT_TRUE(IsWindow(hWnd)) << "an object let go before it is destroyed leaves the window";
    DestroyWindow(hWnd);
    UnregisterClassA("AppframeOldProc", nullptr);
}

TEST_F(AppframeTest, FromHandleGivesTheAttachedObjectOrATemporaryOne) {
    CMapWnd wnd;
    ASSERT_TRUE(MakeWindow(wnd));
    EXPECT_EQ(CWnd::FromHandle(wnd.m_hWnd), &wnd);
    HWND bare = CreateWindowExA(0, kAfxWndClassName, "", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(bare, nullptr);
    CWnd* temporary = CWnd::FromHandle(bare);
    ASSERT_NE(temporary, nullptr);
    EXPECT_EQ(temporary->m_hWnd, bare);
    EXPECT_EQ(CWnd::FromHandle(bare), temporary);
    EXPECT_EQ(CWnd::FromHandlePermanent(bare), nullptr);
    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
    DestroyWindow(bare);
}

TEST_F(AppframeTest, DestroyingTheObjectDestroysItsWindow) {
    HWND hWnd;
    {
        CMapWnd wnd;
        ASSERT_TRUE(MakeWindow(wnd));
        hWnd = wnd.m_hWnd;
    }
    EXPECT_FALSE(IsWindow(hWnd));
}

}  // namespace
