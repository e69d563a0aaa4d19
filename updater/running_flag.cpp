#include "running_flag.h"

RunningFlagByte RunningFlag;

const char* const kRunningFlagName = "BRDJUpdate.RunningFlag";

bool RunningFlagByte::TestAndSet() {
    if (handle_) {
        return true;
    }
    HANDLE handle = CreateMutexA(nullptr, FALSE, kRunningFlagName);
    if (!handle) {
        return true;
    }
    bool wasSet = GetLastError() == ERROR_ALREADY_EXISTS;
    handle_ = handle;  // kept until the process ends: the flag is never reset
    return wasSet;
}
