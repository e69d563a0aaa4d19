// Kernel objects: handles, waits, last error.
#pragma once

#include "pal/types.h"

BOOL CloseHandle(HANDLE hObject);
// Waits on an event, thread, process or mutex. Results: WAIT_OBJECT_0, WAIT_TIMEOUT, or
// WAIT_FAILED with ERROR_INVALID_HANDLE for a handle that is unknown or cannot be waited on.
DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);

DWORD GetLastError();
void SetLastError(DWORD dwErrCode);
