#include "proxy_lock.h"

CRITICAL_SECTION g_ProxyLock;

CRITICAL_SECTION& ProxyLock() {
    static const bool initialised = [] {
        InitializeCriticalSection(&g_ProxyLock);
        return true;
    }();
    (void)initialised;
    return g_ProxyLock;
}
