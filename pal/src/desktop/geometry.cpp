// Placement: SetWindowPos, MoveWindow and the coordinate calls.
#include <algorithm>

#include "desktop/activation.h"
#include "desktop/desktop_call.h"
#include "x11/presenter.h"

namespace {

using pal::Height;
using pal::Width;

bool IsSpecialInsertAfter(HWND after) {
    return after == HWND_TOP || after == HWND_BOTTOM;
}

// The parent area a child's move uncovers is to be painted too.
void InvalidateAfterChange(const std::shared_ptr<pal::Window>& window, bool moved) {
    if (!IsWindowVisible(window->hwnd)) {
        return;
    }
    window->InvalidateAll(true);
    if (HWND parent = pal::Desktop::Get().Parent(window->hwnd); parent && moved) {
        if (auto outer = pal::DesktopWindow(parent)) {
            outer->InvalidateAll(true);
        }
    }
}

}  // namespace

// Differs from Windows: there is no frame to recompute (SWP_FRAMECHANGED only repaints), and the
// area to paint is the whole window.
BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags) {
    auto window = pal::WindowOrFail(hWnd);
    if (!window) {
        return FALSE;
    }
    pal::Desktop& desktop = pal::Desktop::Get();
    bool reorder = !(uFlags & SWP_NOZORDER);
    if (reorder && !IsSpecialInsertAfter(hWndInsertAfter)) {
        auto siblings = desktop.Children(desktop.Parent(hWnd));
        if (hWndInsertAfter == hWnd ||
            std::find(siblings.begin(), siblings.end(), hWndInsertAfter) == siblings.end()) {
            return pal::FailWith(ERROR_INVALID_PARAMETER, FALSE);
        }
    }
    RECT old = window->Rect();
    WINDOWPOS pos{hWnd, hWndInsertAfter, X, Y, cx, cy, uFlags};
    if (uFlags & SWP_NOMOVE) {
        pos.x = old.left;
        pos.y = old.top;
    }
    if (uFlags & SWP_NOSIZE) {
        pos.cx = Width(old);
        pos.cy = Height(old);
    }
    SendMessageA(hWnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    pos.cx = pos.cx < 0 ? 0 : pos.cx;
    pos.cy = pos.cy < 0 ? 0 : pos.cy;
    RECT now{pos.x, pos.y, pos.x + pos.cx, pos.y + pos.cy};
    bool moved = now.left != old.left || now.top != old.top;
    bool sized = Width(now) != Width(old) || Height(now) != Height(old);
    window->SetRect(now);
    if (reorder && !desktop.Reorder(hWnd, pos.hwndInsertAfter)) {
        desktop.Reorder(hWnd, HWND_TOP);  // the procedure named no sibling
    }
    bool shown = false;
    if ((uFlags & SWP_SHOWWINDOW) && !(window->Style() & WS_VISIBLE)) {
        window->SetStyle(window->Style() | WS_VISIBLE);
        shown = true;
    } else if ((uFlags & SWP_HIDEWINDOW) && (window->Style() & WS_VISIBLE)) {
        window->SetStyle(window->Style() & ~WS_VISIBLE);
        pal::LeaveActivation(hWnd);
        pal::present::Current().Hidden(hWnd);
    }
    if (moved || sized) {
        pal::present::Current().Moved(hWnd);
    }
    if (shown) {
        pal::present::Current().Shown(hWnd);
    }
    // What reaches WM_WINDOWPOSCHANGED says what did not change.
    pos.flags |= (moved ? 0 : SWP_NOMOVE) | (sized ? 0 : SWP_NOSIZE);
    SendMessageA(hWnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    if (shown && !(uFlags & SWP_NOREDRAW)) {
        pal::InvalidateTree(window);
    }
    if (!(uFlags & SWP_NOREDRAW) && (moved || sized || (uFlags & SWP_FRAMECHANGED))) {
        InvalidateAfterChange(window, moved || sized);
    }
    if (!(uFlags & SWP_NOACTIVATE) && !desktop.Parent(hWnd) && IsWindowVisible(hWnd) &&
        !IsIconic(hWnd)) {
        pal::Activate(hWnd);
    }
    return TRUE;
}

// Differs from Windows: as SetWindowPos, there is no frame to recompute.
BOOL MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (bRepaint ? 0 : SWP_NOREDRAW);
    return SetWindowPos(hWnd, nullptr, X, Y, nWidth, nHeight, flags);
}

BOOL GetWindowRect(HWND hWnd, LPRECT lpRect) {
    if (!pal::WindowOrFail(hWnd)) {
        return FALSE;
    }
    if (!lpRect) {
        return pal::FailWith(ERROR_INVALID_PARAMETER, FALSE);
    }
    *lpRect = pal::ScreenRect(hWnd);
    return TRUE;
}

BOOL GetClientRect(HWND hWnd, LPRECT lpRect) {
    auto window = pal::WindowOrFail(hWnd);
    if (!window) {
        return FALSE;
    }
    if (!lpRect) {
        return pal::FailWith(ERROR_INVALID_PARAMETER, FALSE);
    }
    RECT rect = window->Rect();
    *lpRect = RECT{0, 0, Width(rect), Height(rect)};
    return TRUE;
}

namespace {

BOOL Shift(HWND hwnd, POINT* point, int sign) {
    if (!pal::WindowOrFail(hwnd)) {
        return FALSE;
    }
    if (!point) {
        return pal::FailWith(ERROR_INVALID_PARAMETER, FALSE);
    }
    RECT rect = pal::ScreenRect(hwnd);
    point->x += sign * rect.left;
    point->y += sign * rect.top;
    return TRUE;
}

}  // namespace

BOOL ClientToScreen(HWND hWnd, POINT* lpPoint) {
    return Shift(hWnd, lpPoint, 1);
}

BOOL ScreenToClient(HWND hWnd, POINT* lpPoint) {
    return Shift(hWnd, lpPoint, -1);
}
