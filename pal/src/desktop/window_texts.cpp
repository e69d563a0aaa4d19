// SetWindowTextA, GetWindowTextA and GetWindowTextLengthA, through the window's procedure.
#include "desktop/desktop_call.h"

// Differs from Windows: a published top-level window's record is written anew with the text, so
// that FindWindowA in other processes finds it by it.
BOOL SetWindowTextA(HWND hWnd, LPCSTR lpString) {
    if (!pal::FindWindowObject(hWnd)) {
        return pal::FailWith(ERROR_INVALID_WINDOW_HANDLE, FALSE);
    }
    return SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString ? lpString : ""))
               ? TRUE
               : FALSE;
}

int GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
    if (!pal::FindWindowObject(hWnd)) {
        return pal::FailWith(ERROR_INVALID_WINDOW_HANDLE, 0);
    }
    if (!lpString || nMaxCount <= 0) {
        return 0;
    }
    return static_cast<int>(SendMessageA(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount),
                                         reinterpret_cast<LPARAM>(lpString)));
}

int GetWindowTextLengthA(HWND hWnd) {
    if (!pal::FindWindowObject(hWnd)) {
        return pal::FailWith(ERROR_INVALID_WINDOW_HANDLE, 0);
    }
    return static_cast<int>(SendMessageA(hWnd, WM_GETTEXTLENGTH, 0, 0));
}
