// The P2P exports: under g_ProxyLock, and only while the P2P proxy exists, each hands its
// arguments to the CP2PProxy operation of the same name.
#include "br_service_proxy.h"
#include "p2p_proxy.h"
#include "proxy_lock.h"
#include "proxy_objects.h"

bool P2PStartDown(const Sign* sign, const char* text, const int* value, int int2, int int3,
                  P2PObserver* observer, bool flag) {
    CAutoLock lock;
    CP2PProxy* proxy = g_P2PProxy.load();
    // The third argument is passed by value; a null pointer has none to pass.
    if (proxy == nullptr || value == nullptr) {
        return false;
    }
    return proxy->P2PStartDown(sign, text, *value, int2, int3, observer, flag);
}

void P2PStopDown(const Sign* sign, P2PObserver* observer) {
    CAutoLock lock;
    if (CP2PProxy* proxy = g_P2PProxy.load()) {
        proxy->P2PStopDown(sign, observer);
    }
}

void P2PDelRes(const Sign* sign, P2PObserver* observer) {
    CAutoLock lock;
    if (CP2PProxy* proxy = g_P2PProxy.load()) {
        proxy->P2PDelRes(sign, observer);
    }
}

void P2PGetResInfo(const Sign* sign, int* value, std::string* text) {
    CAutoLock lock;
    if (CP2PProxy* proxy = g_P2PProxy.load()) {
        proxy->P2PGetResInfo(sign, value, text);
    }
}

void P2PEnableVIPService(int value, bool flag, int third) {
    CAutoLock lock;
    if (CP2PProxy* proxy = g_P2PProxy.load()) {
        proxy->P2PEnableVIPService(value, flag, third);
    }
}

void P2PStopAll() {
    CAutoLock lock;
    if (CP2PProxy* proxy = g_P2PProxy.load()) {
        proxy->P2PStopAll();
    }
}

void P2PSetSysMsgWnd(int window) {
    CAutoLock lock;
    if (CP2PProxy* proxy = g_P2PProxy.load()) {
        proxy->P2PSetSysMsgWnd(window);
    }
}
