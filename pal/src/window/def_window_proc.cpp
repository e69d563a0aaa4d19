// The default window procedure.
#include "window/window_class.h"
#include "window/window_object.h"

// Differs from Windows: handles WM_NCCREATE, WM_CLOSE, WM_PAINT and WM_ERASEBKGND only; every other
// message gives 0.
LRESULT DefWindowProcA(HWND hWnd, UINT Msg, WPARAM, LPARAM) {
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
        case WM_ERASEBKGND: {
            // Differs from Windows: nothing is drawn yet; the background counts as erased when
            // the class has a brush for it.
            auto window = pal::FindWindowObject(hWnd);
            return window && window->windowClass->background ? 1 : 0;
        }
        default:
            return 0;
    }
}
