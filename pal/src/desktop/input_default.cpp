#include "desktop/input_default.h"

#include "desktop/desktop_call.h"
#include "desktop/input_source.h"
#include "window/ui_thread.h"

namespace pal {
namespace {

LRESULT HitTest(HWND hwnd, LPARAM lParam) {
    RECT rect = ScreenRect(hwnd);
    int x = GET_X_LPARAM(lParam);
    int y = GET_Y_LPARAM(lParam);
    bool inside = x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
    return inside ? HTCLIENT : HTNOWHERE;
}

// A parent may decide a child's cursor first; otherwise the client area shows the arrow.
LRESULT SetCursorDefault(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    auto window = DesktopWindow(hwnd);
    HWND parent = Desktop::Get().Parent(hwnd);
    if (window && (window->Style() & WS_CHILD) && parent &&
        SendMessageA(parent, WM_SETCURSOR, wParam, lParam)) {
        return TRUE;
    }
    if (static_cast<short>(LOWORD(lParam)) == HTCLIENT) {
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    }
    return FALSE;
}

POINT Moved(POINT origin, POINT start, POINT now) {
    return POINT{origin.x + now.x - start.x, origin.y + now.y - start.y};
}

void MoveTo(HWND hwnd, POINT topLeft) {
    SetWindowPos(hwnd, nullptr, topLeft.x, topLeft.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

// Differs from Windows: the window moves at once with every pointer move (no drag outline), and
// a move loop started when the left button is up already does nothing.
void RunMoveLoop(HWND hwnd) {
    auto window = DesktopWindow(hwnd);
    if (!window || GetKeyState(VK_LBUTTON) >= 0) {
        return;
    }
    RECT rect = window->Rect();
    POINT origin{rect.left, rect.top};
    POINT start = window->thread->input->LastPoint();
    SendMessageA(hwnd, WM_ENTERSIZEMOVE, 0, 0);
    SetCapture(hwnd);
    MSG msg;
    for (;;) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) {
                PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop outside
            }
            break;
        }
        if (GetCapture() != hwnd || !IsWindow(hwnd)) {
            DispatchMessageA(&msg);
            break;
        }
        if (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP) {
            MoveTo(hwnd, Moved(origin, start, msg.pt));
            if (msg.message == WM_LBUTTONUP) {
                break;
            }
        } else if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
            MoveTo(hwnd, origin);
            break;
        } else if (msg.message < WM_MOUSEFIRST || msg.message > WM_MOUSELAST) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    if (GetCapture() == hwnd) {
        ReleaseCapture();
    }
    if (IsWindow(hwnd)) {
        SendMessageA(hwnd, WM_EXITSIZEMOVE, 0, 0);
    }
}

bool InputDefault(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (msg) {
        case WM_NCHITTEST:
            *result = HitTest(hwnd, lParam);
            return true;
        case WM_SETCURSOR:
            *result = SetCursorDefault(hwnd, wParam, lParam);
            return true;
        case WM_NCLBUTTONDOWN:
            if (wParam == HTCAPTION) {
                SendMessageA(hwnd, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, lParam);
            }
            *result = 0;
            return true;
        default:
            return false;
    }
}

}  // namespace pal
