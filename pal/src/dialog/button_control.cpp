// "BUTTON": push buttons and default push buttons. A click (press and release over the button,
// or BM_CLICK, or Space while it has the focus) sends WM_COMMAND (id, BN_CLICKED) to the parent.
#include "dialog/builtin_classes.h"
#include "dialog/control_data.h"

namespace pal::dialog {
namespace {

bool IsDefault(HWND hwnd) {
    return (static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

void Click(HWND hwnd) {
    SendMessageA(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED),
                 reinterpret_cast<LPARAM>(hwnd));
}

void SetPressed(HWND hwnd, ControlData& data, bool pressed) {
    if (data.pressed != pressed) {
        data.pressed = pressed;
        InvalidateRect(hwnd, nullptr, TRUE);
    }
}

bool Inside(HWND hwnd, LPARAM lParam) {
    RECT client;
    GetClientRect(hwnd, &client);
    int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    return x >= client.left && x < client.right && y >= client.top && y < client.bottom;
}

// A frame of `width` pixels just inside the rectangle.
void Frame(HDC dc, RECT r, int width, int stock) {
    auto brush = static_cast<HBRUSH>(GetStockObject(stock));
    RECT sides[] = {{r.left, r.top, r.right, r.top + width},
                    {r.left, r.bottom - width, r.right, r.bottom},
                    {r.left, r.top, r.left + width, r.bottom},
                    {r.right - width, r.top, r.right, r.bottom}};
    for (const RECT& side : sides) FillRect(dc, &side, brush);
}

void Paint(HWND hwnd) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    if (!dc) {
        return;
    }
    auto data = Data(hwnd);
    RECT client;
    GetClientRect(hwnd, &client);
    bool pressed = data && data->pressed;
    // A default button has a black outer frame; every button a grey one inside it.
    int outer = IsDefault(hwnd) ? 1 : 0;
    if (outer) {
        Frame(dc, client, 1, BLACK_BRUSH);
    }
    RECT inner{client.left + outer, client.top + outer, client.right - outer,
               client.bottom - outer};
    Frame(dc, inner, 1, pressed ? BLACK_BRUSH : DKGRAY_BRUSH);
    char text[1024];
    int length = GetWindowTextA(hwnd, text, sizeof(text));
    RECT label = client;
    if (pressed) {
        label = RECT{client.left + 1, client.top + 1, client.right + 1, client.bottom + 1};
    }
    DrawLabel(dc, data ? data->font : nullptr, ShownText(std::string(text, length), true), label,
              SS_CENTER, true);
    EndPaint(hwnd, &paint);
}

LRESULT Mouse(HWND hwnd, UINT msg, LPARAM lParam) {
    auto data = Data(hwnd);
    if (!data) {
        return 0;
    }
    switch (msg) {
        case WM_LBUTTONDOWN:
            data->tracking = true;
            SetCapture(hwnd);
            SetFocus(hwnd);
            SetPressed(hwnd, *data, true);
            break;
        case WM_MOUSEMOVE:
            if (data->tracking) {
                SetPressed(hwnd, *data, Inside(hwnd, lParam));
            }
            break;
        case WM_LBUTTONUP: {
            bool clicked = data->tracking && Inside(hwnd, lParam);
            data->tracking = false;
            SetPressed(hwnd, *data, false);
            ReleaseCapture();
            if (clicked) {
                Click(hwnd);
            }
            break;
        }
        default:
            break;
    }
    return 0;
}

}  // namespace

// Differs from Windows: push buttons only (other button styles draw and act as push buttons);
// the focus is not drawn, and a double click is two clicks.
LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_MOUSEMOVE:
            return Mouse(hwnd, msg, lParam);
        case WM_CAPTURECHANGED:
            if (auto data = Data(hwnd)) {
                data->tracking = false;
                SetPressed(hwnd, *data, false);
            }
            return 0;
        case WM_KEYUP:
            if (wParam == VK_SPACE) {
                Click(hwnd);
            }
            return 0;
        case BM_CLICK:
            Click(hwnd);
            return 0;
        case WM_GETDLGCODE:
            return DLGC_BUTTON | (IsDefault(hwnd) ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
        case WM_PAINT:
            Paint(hwnd);
            return 0;
        default:
            return ControlDefault(hwnd, msg, wParam, lParam);
    }
}

}  // namespace pal::dialog
