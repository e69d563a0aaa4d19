// BeginPaint and EndPaint.
#include "window/window_object.h"

// Differs from Windows: the HDC is a placeholder that nothing draws with yet; the part to paint
// is one rectangle, the whole window.
HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
    auto window = pal::FindWindowObject(hWnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (!lpPaint) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    bool erase = false;
    RECT update = window->TakeUpdate(&erase);
    *lpPaint = PAINTSTRUCT{};
    lpPaint->hdc = window->paintDc;
    lpPaint->rcPaint = update;
    if (erase) {
        LRESULT erased = pal::CallWindowProcedure(window, WM_ERASEBKGND,
                                                  reinterpret_cast<WPARAM>(window->paintDc), 0);
        lpPaint->fErase = erased ? FALSE : TRUE;
    }
    return window->paintDc;
}

// Differs from Windows: nothing was drawn, so there is nothing to flush.
BOOL EndPaint(HWND, const PAINTSTRUCT*) {
    return TRUE;
}
