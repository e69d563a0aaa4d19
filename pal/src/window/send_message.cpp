// SendMessageA: a direct call on the window's own thread, else a sent message that the window's
// thread handles in its next GetMessageA or PeekMessageA (sent_messages.h).
#include "window/sent_messages.h"
#include "window/window_object.h"
#include "window/window_registry.h"

// Differs from Windows: windows of other processes cannot be sent to (0 with
// ERROR_NOT_SUPPORTED); HWND_BROADCAST is not available.
LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    auto window = pal::FindWindowObject(hWnd);
    if (!window) {
        SetLastError(pal::FindForeignWindow(hWnd) ? ERROR_NOT_SUPPORTED
                                                  : ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (window->threadId == GetCurrentThreadId()) {
        return pal::CallWindowProcedure(window, Msg, wParam, lParam);
    }
    LRESULT result = 0;
    return pal::SendAcrossThreads(window, Msg, wParam, lParam, nullptr, &result) ? result : 0;
}
