// SetTimer and KillTimer: timers of the calling thread (timer_source.h).
#include <atomic>

#include "window/timer_source.h"
#include "window/ui_thread.h"
#include "window/window_object.h"

namespace {

// The thread whose window hwnd is, checked: ERROR_SUCCESS, or why the window cannot have a timer
// of the calling thread.
DWORD CheckOwnWindow(HWND hwnd) {
    auto window = pal::FindWindowObject(hwnd);
    if (!window) {
        return IsWindow(hwnd) ? ERROR_ACCESS_DENIED : ERROR_INVALID_WINDOW_HANDLE;
    }
    return window->threadId == GetCurrentThreadId() ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

UINT_PTR NewThreadTimerId() {
    static std::atomic<UINT_PTR> last{0};
    UINT_PTR id;
    do {
        id = ++last;
    } while (id == 0);
    return id;
}

}  // namespace

// Differs from Windows: millisecond periods on the monotonic clock (10 ms at least); a window timer
// with id 0 returns 1.
UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) {
    if (hWnd) {
        if (DWORD error = CheckOwnWindow(hWnd)) {
            SetLastError(error);
            return 0;
        }
    }
    auto thread = pal::CurrentUiThread();
    if (!thread) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return 0;
    }
    UINT_PTR id = nIDEvent;
    if (!hWnd && (id == 0 || !thread->timers->Has(nullptr, id))) {
        id = NewThreadTimerId();
    }
    thread->timers->Set(hWnd, id, uElapse, lpTimerFunc);
    return id != 0 ? id : 1;
}

// Differs from Windows: the timers are the layer's own, on the monotonic clock (see SetTimer).
BOOL KillTimer(HWND hWnd, UINT_PTR uIDEvent) {
    if (hWnd) {
        if (DWORD error = CheckOwnWindow(hWnd)) {
            SetLastError(error);
            return FALSE;
        }
    }
    auto thread = pal::ExistingUiThread();
    if (!thread || !thread->timers->Kill(hWnd, uIDEvent)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return TRUE;
}
