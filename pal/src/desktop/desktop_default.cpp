#include "desktop/desktop_default.h"

#include <algorithm>
#include <cstring>

#include "desktop/desktop_call.h"
#include "x11/presenter.h"
#include "desktop/input_default.h"
#include "window/window_publish.h"

namespace pal {
namespace {

LRESULT SetText(const std::shared_ptr<Window>& window, LPARAM lParam) {
    const char* text = reinterpret_cast<const char*>(lParam);
    window->SetTitle(text ? text : "");
    Republish(*window);
    return TRUE;
}

LRESULT GetText(const std::shared_ptr<Window>& window, WPARAM size, LPARAM lParam) {
    char* buffer = reinterpret_cast<char*>(lParam);
    if (!buffer || size == 0) {
        return 0;
    }
    std::string title = window->Title();
    size_t copied = std::min(title.size(), static_cast<size_t>(size) - 1);
    std::memcpy(buffer, title.data(), copied);
    buffer[copied] = '\0';
    return static_cast<LRESULT>(copied);
}

// WM_MOVE with the client area's new origin, WM_SIZE with its size (0 while minimised).
LRESULT PositionChanged(HWND hwnd, LPARAM lParam) {
    const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
    if (!pos) {
        return 0;
    }
    auto window = DesktopWindow(hwnd);
    if (!window) {
        return 0;
    }
    RECT rect = window->Rect();
    if (!(pos->flags & SWP_NOMOVE)) {
        SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(rect.left, rect.top));
    }
    if (!(pos->flags & SWP_NOSIZE)) {
        if (IsIconic(hwnd)) {
            SendMessageA(hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
        } else {
            SendMessageA(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(Width(rect), Height(rect)));
        }
    }
    return 0;
}

LRESULT SystemCommand(HWND hwnd, WPARAM wParam) {
    switch (wParam & 0xFFF0u) {
        case SC_MINIMIZE:
            ShowWindow(hwnd, SW_MINIMIZE);
            break;
        case SC_RESTORE:
            ShowWindow(hwnd, SW_RESTORE);
            break;
        case SC_CLOSE:
            SendMessageA(hwnd, WM_CLOSE, 0, 0);
            break;
        case SC_MOVE:
            RunMoveLoop(hwnd);
            break;
        default:
            break;
    }
    return 0;
}

}  // namespace

bool DesktopDefault(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    auto window = FindWindowObject(hwnd);
    if (!window) {
        return false;
    }
    switch (msg) {
        case WM_SETTEXT:
            *result = SetText(window, lParam);
            pal::present::Current().Changed(hwnd);
            return true;
        case WM_GETTEXT:
            *result = GetText(window, wParam, lParam);
            return true;
        case WM_GETTEXTLENGTH:
            *result = static_cast<LRESULT>(window->Title().size());
            return true;
        case WM_SETICON:
            *result = reinterpret_cast<LRESULT>(
                window->SetIcon(wParam == ICON_BIG, reinterpret_cast<HICON>(lParam)));
            pal::present::Current().Changed(hwnd);
            return true;
        case WM_GETICON:
            *result = reinterpret_cast<LRESULT>(window->Icon(wParam == ICON_BIG));
            return true;
        case WM_WINDOWPOSCHANGED:
            *result = PositionChanged(hwnd, lParam);
            return true;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam)) {
                SetFocus(hwnd);
            }
            *result = 0;
            return true;
        case WM_SYSCOMMAND:
            *result = SystemCommand(hwnd, wParam);
            return true;
        default:
            return InputDefault(hwnd, msg, wParam, lParam, result);
    }
}

}  // namespace pal
