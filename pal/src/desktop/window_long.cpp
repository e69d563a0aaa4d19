// GetWindowLongA and SetWindowLongA, with their pointer-sized pair.
#include "desktop/desktop_call.h"

namespace {

// Differs from Windows: changing GWL_STYLE or GWL_EXSTYLE sends no WM_STYLECHANGING or
// WM_STYLECHANGED; a new WS_VISIBLE or WS_DISABLED takes effect without further messages, as it
// does on Windows.
LONG_PTR Exchange(HWND hwnd, int index, const LONG_PTR* newValue) {
    auto window = pal::FindWindowObject(hwnd);
    if (!window) {
        return pal::FailWith(ERROR_INVALID_WINDOW_HANDLE, LONG_PTR{0});
    }
    LONG_PTR old = 0;
    switch (index) {
        case GWL_STYLE:
            old = static_cast<LONG>(window->Style());
            if (newValue) {
                window->SetStyle(static_cast<DWORD>(*newValue));
            }
            break;
        case GWL_EXSTYLE:
            old = static_cast<LONG>(window->ExStyle());
            if (newValue) {
                window->SetExStyle(static_cast<DWORD>(*newValue));
            }
            break;
        case GWL_ID:
            old = window->Id();
            if (newValue) {
                window->SetId(static_cast<int>(*newValue));
            }
            break;
        case GWLP_USERDATA:
            old = window->UserData();
            if (newValue) {
                window->SetUserData(*newValue);
            }
            break;
        case GWLP_WNDPROC:
            old = reinterpret_cast<LONG_PTR>(window->Procedure());
            if (newValue) {
                window->SetProcedure(reinterpret_cast<WNDPROC>(*newValue));
            }
            break;
        default:
            return pal::FailWith(ERROR_INVALID_INDEX, LONG_PTR{0});
    }
    SetLastError(ERROR_SUCCESS);  // so that a result of 0 can be told from a failure
    return old;
}

}  // namespace

LONG GetWindowLongA(HWND hWnd, int nIndex) {
    if (nIndex == GWLP_WNDPROC) {
        return pal::FailWith(ERROR_INVALID_INDEX, LONG{0});  // a pointer does not fit
    }
    return static_cast<LONG>(Exchange(hWnd, nIndex, nullptr));
}

// Differs from Windows: no WM_STYLECHANGING or WM_STYLECHANGED (see Exchange).
LONG SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong) {
    if (nIndex == GWLP_WNDPROC) {
        return pal::FailWith(ERROR_INVALID_INDEX, LONG{0});
    }
    LONG_PTR value = nIndex == GWLP_USERDATA ? static_cast<LONG_PTR>(dwNewLong)
                                             : static_cast<LONG_PTR>(static_cast<DWORD>(dwNewLong));
    return static_cast<LONG>(Exchange(hWnd, nIndex, &value));
}

LONG_PTR GetWindowLongPtrA(HWND hWnd, int nIndex) {
    return Exchange(hWnd, nIndex, nullptr);
}

// Differs from Windows: no WM_STYLECHANGING or WM_STYLECHANGED (see Exchange).
LONG_PTR SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
    return Exchange(hWnd, nIndex, &dwNewLong);
}
