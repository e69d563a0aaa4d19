// PostMessageA: to a window of this process through its thread's queue, to a window of another
// process of the runtime root through that process's inbox.
#include "window/post_inbox.h"
#include "window/window_object.h"
#include "window/window_registry.h"

// Differs from Windows: a post to another process's window succeeds once that process's inbox
// has it; should the window's queue be full when the message arrives there, it is dropped.
// HWND_BROADCAST is not available (ERROR_INVALID_WINDOW_HANDLE).
BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (!hWnd) {
        return PostThreadMessageA(GetCurrentThreadId(), Msg, wParam, lParam);
    }
    DWORD error = ERROR_INVALID_WINDOW_HANDLE;
    if (auto window = pal::FindWindowObject(hWnd)) {
        switch (window->Post(Msg, wParam, lParam)) {
            case pal::MessageQueue::PostResult::kPosted:
                return TRUE;
            case pal::MessageQueue::PostResult::kFull:
                error = ERROR_NOT_ENOUGH_QUOTA;
                break;
            case pal::MessageQueue::PostResult::kClosed:
                break;
        }
    } else if (auto entry = pal::FindForeignWindow(hWnd)) {
        error = pal::SendPost(PalRuntimeDir(), *entry, Msg, wParam, lParam);
        if (error == ERROR_SUCCESS) {
            return TRUE;
        }
    }
    SetLastError(error);
    return FALSE;
}
