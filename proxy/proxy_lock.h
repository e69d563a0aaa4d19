// g_ProxyLock: the one recursive lock of the library's exports. Every export holds it for its
// whole run through CAutoLock, and the watchdog takes it for each of its steps. It is
// initialised once, on first use, and never destroyed, so no export can ever find it
// uninitialised or gone (not even one called from another library's static destructor).
// Lock order: g_ProxyLock before the P2P proxy's own lock.
#pragma once

#include <windows.h>

extern CRITICAL_SECTION g_ProxyLock;

// g_ProxyLock, initialised on the first call of the process (thread-safe).
CRITICAL_SECTION& ProxyLock();

// Holds g_ProxyLock from construction to destruction.
class CAutoLock {
public:
    CAutoLock() : lock_(ProxyLock()) { EnterCriticalSection(&lock_); }
    ~CAutoLock() { LeaveCriticalSection(&lock_); }
    CAutoLock(const CAutoLock&) = delete;
    CAutoLock& operator=(const CAutoLock&) = delete;

private:
    CRITICAL_SECTION& lock_;
};
