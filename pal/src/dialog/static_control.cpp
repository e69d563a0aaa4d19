// "STATIC": a text (SS_LEFT, SS_CENTER, SS_RIGHT) or an icon (SS_ICON).
#include "dialog/builtin_classes.h"
#include "dialog/control_data.h"

namespace pal::dialog {
namespace {

void Paint(HWND hwnd) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    if (!dc) {
        return;
    }
    auto data = Data(hwnd);
    DWORD style = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
    RECT client;
    GetClientRect(hwnd, &client);
    if ((style & SS_TYPEMASK) == SS_ICON) {
        if (data && data->icon) {
            DrawIconEx(dc, 0, 0, data->icon, 0, 0, 0, nullptr, DI_NORMAL);
        }
    } else if (data) {
        char text[1024];
        int length = GetWindowTextA(hwnd, text, sizeof(text));
        DrawLabel(dc, data->font, ShownText(std::string(text, length), !(style & SS_NOPREFIX)),
                  client, style & SS_TYPEMASK, false);
    }
    EndPaint(hwnd, &paint);
}

// Sets the icon and sizes the control to it; returns the icon it replaces.
LRESULT SetIcon(HWND hwnd, HICON icon) {
    auto data = Data(hwnd);
    if (!data) {
        return 0;
    }
    HICON old = data->icon;
    data->icon = icon;
    int cx = 0, cy = 0;
    if (icon && PalGetIconSize(icon, &cx, &cy)) {
        SetWindowPos(hwnd, nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    InvalidateRect(hwnd, nullptr, TRUE);
    return reinterpret_cast<LRESULT>(old);
}

}  // namespace

// Differs from Windows: a text is drawn on one line (no word wrap), and a prefix character's
// underline is not drawn.
LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case STM_SETICON:
            return SetIcon(hwnd, reinterpret_cast<HICON>(wParam));
        case STM_GETICON: {
            auto data = Data(hwnd);
            return data ? reinterpret_cast<LRESULT>(data->icon) : 0;
        }
        case WM_GETDLGCODE:
            return DLGC_STATIC;
        case WM_PAINT:
            Paint(hwnd);
            return 0;
        default:
            return ControlDefault(hwnd, msg, wParam, lParam);
    }
}

}  // namespace pal::dialog
