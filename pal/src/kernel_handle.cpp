// Handle closing, waiting and the thread's last error.
#include "handle.h"

namespace {
thread_local DWORD t_lastError = ERROR_SUCCESS;
}

DWORD GetLastError() { return t_lastError; }

void SetLastError(DWORD dwErrCode) { t_lastError = dwErrCode; }

BOOL CloseHandle(HANDLE hObject) {
    if (!pal::RemoveHandle(hObject)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
    auto object = pal::LookupHandle(hHandle);
    if (!object) {
        return WAIT_FAILED;
    }
    return object->Wait(dwMilliseconds);
}
