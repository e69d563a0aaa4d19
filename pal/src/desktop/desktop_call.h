// What the desktop's Win32 calls share: failing with a last error, and finding the window a
// call names.
#pragma once

#include <memory>

#include "desktop/desktop_model.h"
#include "window/window_object.h"

namespace pal {

template <typename T>
T FailWith(DWORD error, T value) {
    SetLastError(error);
    return value;
}

// The desktop window of hwnd; null with ERROR_INVALID_WINDOW_HANDLE when there is none.
inline std::shared_ptr<Window> WindowOrFail(HWND hwnd) {
    auto window = DesktopWindow(hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    }
    return window;
}

// The window and every descendant of it are to be painted whole, erased first: a window that
// shows, or shows again, has nothing of its own on the screen yet, nor have its children.
void InvalidateTree(const std::shared_ptr<Window>& window);

inline int Width(const RECT& rect) {
    return rect.right - rect.left;
}
inline int Height(const RECT& rect) {
    return rect.bottom - rect.top;
}

}  // namespace pal
