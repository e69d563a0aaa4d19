// ShowWindow, minimising and restoring, and the visibility and enabled state.
#include "desktop/activation.h"
#include "desktop/desktop_call.h"
#include "x11/presenter.h"

namespace pal {

void InvalidateTree(const std::shared_ptr<Window>& window) {
    window->InvalidateAll(true);
    for (HWND child : Desktop::Get().Children(window->hwnd)) {
        if (auto inner = DesktopWindow(child)) {
            InvalidateTree(inner);
        }
    }
}

}  // namespace pal

namespace {

// Minimising and restoring keep the rectangle; the default handling of WM_WINDOWPOSCHANGED
// sends the WM_SIZE that says which it was.
void SendSizeState(HWND hwnd) {
    RECT rect = pal::ScreenRect(hwnd);
    WINDOWPOS pos{hwnd,
                  nullptr,
                  rect.left,
                  rect.top,
                  pal::Width(rect),
                  pal::Height(rect),
                  SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED};
    SendMessageA(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
}

void SetVisible(const std::shared_ptr<pal::Window>& window, bool visible) {
    DWORD style = window->Style();
    if (((style & WS_VISIBLE) != 0) == visible) {
        return;
    }
    SendMessageA(window->hwnd, WM_SHOWWINDOW, visible ? TRUE : FALSE, 0);
    window->SetStyle(visible ? (window->Style() | WS_VISIBLE) : (window->Style() & ~WS_VISIBLE));
    if (visible) {
        pal::InvalidateTree(window);
        pal::present::Current().Shown(window->hwnd);
    } else {
        pal::present::Current().Hidden(window->hwnd);
        pal::LeaveActivation(window->hwnd);
        if (HWND parent = pal::Desktop::Get().Parent(window->hwnd)) {
            if (auto outer = pal::DesktopWindow(parent)) {
                outer->InvalidateAll(true);
            }
        }
    }
}

void SetMinimized(const std::shared_ptr<pal::Window>& window, bool minimized) {
    if (((window->Style() & WS_MINIMIZE) != 0) == minimized) {
        return;
    }
    window->SetStyle(minimized ? (window->Style() | WS_MINIMIZE)
                               : (window->Style() & ~WS_MINIMIZE));
    if (minimized) {
        pal::LeaveActivation(window->hwnd);
        pal::present::Current().Minimized(window->hwnd);
    } else {
        pal::present::Current().Shown(window->hwnd);
    }
    SendSizeState(window->hwnd);
    pal::InvalidateTree(window);
}

bool Activates(int command) {
    return command == SW_SHOW || command == SW_SHOWNORMAL || command == SW_RESTORE ||
           command == SW_SHOWDEFAULT || command == SW_SHOWMAXIMIZED;
}

}  // namespace

// Differs from Windows: a minimised window keeps its rectangle; SW_SHOWMAXIMIZED shows the
// window as SW_SHOW does (windows are never maximised).
BOOL ShowWindow(HWND hWnd, int nCmdShow) {
    auto window = pal::WindowOrFail(hWnd);
    if (!window) {
        return FALSE;
    }
    BOOL wasVisible = (window->Style() & WS_VISIBLE) ? TRUE : FALSE;
    switch (nCmdShow) {
        case SW_HIDE:
            SetVisible(window, false);
            return wasVisible;
        case SW_MINIMIZE:
        case SW_SHOWMINIMIZED:
        case SW_SHOWMINNOACTIVE:
            SetVisible(window, true);
            SetMinimized(window, true);
            return wasVisible;
        case SW_SHOWNORMAL:
        case SW_RESTORE:
        case SW_SHOWDEFAULT:
            SetVisible(window, true);
            SetMinimized(window, false);
            break;
        case SW_SHOW:
        case SW_SHOWMAXIMIZED:
        case SW_SHOWNA:
        case SW_SHOWNOACTIVATE:
            SetVisible(window, true);
            break;
        default:
            return pal::FailWith(ERROR_INVALID_PARAMETER, FALSE);
    }
    if (Activates(nCmdShow) && !pal::Desktop::Get().Parent(hWnd) && !IsIconic(hWnd)) {
        pal::Activate(hWnd);
    }
    return wasVisible;
}

BOOL IsIconic(HWND hWnd) {
    auto window = pal::DesktopWindow(hWnd);
    return window && (window->Style() & WS_MINIMIZE) ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hWnd) {
    for (HWND hwnd = hWnd; hwnd; hwnd = pal::Desktop::Get().Parent(hwnd)) {
        auto window = pal::DesktopWindow(hwnd);
        if (!window || !(window->Style() & WS_VISIBLE)) {
            return FALSE;
        }
    }
    return hWnd ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hWnd) {
    auto window = pal::DesktopWindow(hWnd);
    return window && !(window->Style() & WS_DISABLED) ? TRUE : FALSE;
}

BOOL EnableWindow(HWND hWnd, BOOL bEnable) {
    auto window = pal::WindowOrFail(hWnd);
    if (!window) {
        return FALSE;
    }
    DWORD style = window->Style();
    BOOL wasDisabled = (style & WS_DISABLED) ? TRUE : FALSE;
    window->SetStyle(bEnable ? (style & ~WS_DISABLED) : (style | WS_DISABLED));
    if (!bEnable) {
        HWND focus = pal::Desktop::Get().Focus();
        if (focus && (focus == hWnd || IsChild(hWnd, focus))) {
            pal::MoveFocus(nullptr);
        }
    }
    return wasDisabled;
}
