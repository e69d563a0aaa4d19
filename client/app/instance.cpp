#include "instance.h"

HANDLE g_hInstanceMutex = nullptr;

bool IsAnotherInstanceRunning() {
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE);
    SECURITY_ATTRIBUTES attributes;
    attributes.nLength = 12;  // the size of the record on the system the client was made for
    attributes.lpSecurityDescriptor = &descriptor;
    attributes.bInheritHandle = FALSE;
    g_hInstanceMutex = CreateMutexA(&attributes, FALSE, kInstanceMutexName);
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(g_hInstanceMutex);
        g_hInstanceMutex = nullptr;
        return true;
    }
    return false;
}
