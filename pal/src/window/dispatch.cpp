// The message loop's TranslateMessage and DispatchMessageA.
#include "window/timer_source.h"
#include "window/ui_thread.h"
#include "window/window_object.h"

// Differs from Windows: headless, there is no keyboard input to translate.
BOOL TranslateMessage(const MSG*) {
    return FALSE;
}

LRESULT DispatchMessageA(const MSG* lpMsg) {
    if (!lpMsg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (lpMsg->message == WM_TIMER && lpMsg->lParam != 0) {
        // Only the procedure of a live timer of this thread is called: a posted WM_TIMER with
        // some other lParam must not run arbitrary code.
        auto procedure = reinterpret_cast<TIMERPROC>(lpMsg->lParam);
        auto thread = pal::ExistingUiThread();
        if (thread && thread->timers->HasProcedure(lpMsg->hwnd, lpMsg->wParam, procedure)) {
            procedure(lpMsg->hwnd, WM_TIMER, lpMsg->wParam, GetTickCount());
        }
        return 0;
    }
    if (!lpMsg->hwnd) {
        return 0;  // a thread message has no procedure
    }
    auto window = pal::FindWindowObject(lpMsg->hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (window->threadId != GetCurrentThreadId()) {
        SetLastError(ERROR_WINDOW_OF_OTHER_THREAD);
        return 0;
    }
    return pal::CallWindowProcedure(window, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}
