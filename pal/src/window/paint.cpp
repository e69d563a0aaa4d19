// BeginPaint and EndPaint.
#include "draw/window_dc.h"
#include "window/window_object.h"

// Differs from Windows: a message-only window gets a context that draws nowhere.
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
    *lpPaint = PAINTSTRUCT{};
    bool erase = false;
    HDC dc = nullptr;
    if (window->surface) {
        cairo_region_t* update = window->surface->TakeUpdate(&erase);
        cairo_rectangle_int_t box;
        cairo_region_get_extents(update, &box);
        lpPaint->rcPaint = RECT{box.x, box.y, box.x + box.width, box.y + box.height};
        dc = pal::draw::CreateWindowDc(hWnd, update);
    } else {
        dc = pal::draw::CreateWindowDc(hWnd, nullptr);  // draws nowhere
    }
    lpPaint->hdc = dc;
    if (erase) {
        const UINT message = (window->Style() & WS_MINIMIZE) ? WM_ICONERASEBKGND : WM_ERASEBKGND;
        LRESULT erased = pal::CallWindowProcedure(window, message, reinterpret_cast<WPARAM>(dc), 0);
        lpPaint->fErase = erased ? FALSE : TRUE;
    }
    return dc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT* lpPaint) {
    if (lpPaint) {
        pal::draw::ReleaseWindowDc(lpPaint->hdc);
    }
    return TRUE;
}
