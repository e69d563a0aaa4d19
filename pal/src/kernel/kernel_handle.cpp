// Handle closing, waiting and the thread's last error.
#include "kernel/handle.h"
#include "kernel/thread_self.h"

namespace {
thread_local DWORD t_lastError = ERROR_SUCCESS;
}

DWORD GetLastError() {
    return t_lastError;
}

void SetLastError(DWORD dwErrCode) {
    t_lastError = dwErrCode;
}

BOOL CloseHandle(HANDLE hObject) {
    if (!pal::RemoveHandle(hObject)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

// Differs from Windows: a thread that TerminateThread has disowned stops here for good, as the
// wait begins or ends (see TerminateThread).
DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
    pal::ParkIfTerminated();
    auto object = pal::LookupHandle(hHandle);
    if (!object) {
        return WAIT_FAILED;
    }
    DWORD result = object->Wait(dwMilliseconds);
    pal::ParkIfTerminated();
    return result;
}
