// The default window procedure.
#include "desktop/desktop_default.h"
#include "window/window_class.h"
#include "window/window_object.h"

// Differs from Windows: handles WM_NCCREATE, WM_CLOSE, WM_PAINT, WM_ERASEBKGND, WM_ICONERASEBKGND
// and the desktop's messages (pal/src/desktop/desktop_default.h); every other message gives 0.
LRESULT DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    switch (Msg) {
        case WM_NCCREATE:
            return TRUE;
        case WM_CLOSE:
            DestroyWindow(hWnd);
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            if (BeginPaint(hWnd, &paint)) {
                EndPaint(hWnd, &paint);
            }
            return 0;
        }
        case WM_ERASEBKGND:
        case WM_ICONERASEBKGND: {
            // The context is clipped to the part to paint: filling the whole window fills that.
            auto window = pal::FindWindowObject(hWnd);
            if (!window || !window->windowClass->background) {
                return 0;
            }
            if (window->surface) {
                const cairo_rectangle_int_t area = window->surface->Area();
                RECT all{0, 0, area.width, area.height};
                FillRect(reinterpret_cast<HDC>(wParam), &all, window->windowClass->background);
            }
            return 1;
        }
        default: {
            LRESULT result = 0;
            pal::DesktopDefault(hWnd, Msg, wParam, lParam, &result);
            return result;
        }
    }
}
