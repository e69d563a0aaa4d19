// Thread messages: posting, taking, quitting.
#include "window/message_queue.h"
#include "kernel/thread_self.h"
#include "window/window_object.h"

namespace {

// A thread takes every message (NULL), its thread messages ((HWND)-1), or the messages of one
// of its own windows.
bool FilterWindowExists(HWND hwnd) {
    if (hwnd == nullptr || hwnd == pal::kThreadMessagesOnly) {
        return true;
    }
    auto window = pal::FindWindowObject(hwnd);
    return window && window->threadId == GetCurrentThreadId();
}

// 1 with a message, 0 without one, -1 on error (last error set).
int TakeMessage(LPMSG lpMsg, HWND hWnd, UINT min, UINT max, bool remove, bool wait) {
    pal::ParkIfTerminated();
    if (!lpMsg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (!FilterWindowExists(hWnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    auto queue = pal::CurrentThreadQueue();
    if (!queue) {
        SetLastError(ERROR_INVALID_THREAD_ID);  // the thread is being torn down
        return -1;
    }
    bool got = queue->Take(pal::MessageFilter{hWnd, min, max}, remove, wait, lpMsg);
    pal::ParkIfTerminated();
    if (!got && wait) {
        SetLastError(ERROR_INVALID_THREAD_ID);  // the queue was closed under the thread
        return -1;
    }
    return got ? 1 : 0;
}

}  // namespace

// Differs from Windows: reaches threads of the calling process only.
BOOL PostThreadMessageA(DWORD idThread, UINT Msg, WPARAM wParam, LPARAM lParam) {
    auto queue = pal::FindThreadQueue(idThread);
    if (!queue) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    switch (queue->Post(nullptr, Msg, wParam, lParam)) {
        case pal::MessageQueue::PostResult::kPosted:
            return TRUE;
        case pal::MessageQueue::PostResult::kFull:
            SetLastError(ERROR_NOT_ENOUGH_QUOTA);
            return FALSE;
        case pal::MessageQueue::PostResult::kClosed:
            break;
    }
    SetLastError(ERROR_INVALID_THREAD_ID);
    return FALSE;
}

// Differs from Windows: a null lpMsg fails with ERROR_INVALID_PARAMETER. The same holds for
// PeekMessageA.
BOOL GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
    int got = TakeMessage(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, true, true);
    if (got <= 0) {
        return -1;
    }
    return lpMsg->message == WM_QUIT ? 0 : 1;
}

// Differs from Windows: a null lpMsg fails with ERROR_INVALID_PARAMETER; an hWnd filter names one
// window of the thread.
BOOL PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
    int got = TakeMessage(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, (wRemoveMsg & PM_REMOVE) != 0,
                          false);
    return got > 0 ? TRUE : FALSE;
}

void PostQuitMessage(int nExitCode) {
    if (auto queue = pal::CurrentThreadQueue()) {
        queue->PostQuit(nExitCode);
    }
}
