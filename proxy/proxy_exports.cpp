// The exports that create and delete the library's objects and keep the list of sinks.
#include <algorithm>

#include "br_service_proxy.h"
#include "msg_ids.h"
#include "p2p_proxy.h"
#include "player_core_proxy.h"
#include "proxy_lock.h"
#include "proxy_log.h"
#include "proxy_msg_center.h"
#include "proxy_objects.h"
#include "proxy_state.h"
#include "watchdog.h"

bool g_ProxyInitialised = false;
std::vector<IServiceNotify*> g_NotifySinks;

namespace {

// Clears the pointer first, so that no reader finds the object while it is being deleted.
template <typename T>
void DeleteObject(std::atomic<T*>& pointer) {
    delete pointer.exchange(nullptr);
}

}  // namespace

bool InitProxy() {
    CAutoLock lock;
    if (!g_ProxyInitialised) {
        // Without its endpoint (another host of this runtime root holds it) the proxy cannot
        // ask whether the service runs, and a service it started would end the one that runs:
        // it starts nothing and stays uninitialised, so a later InitProxy tries again.
        if (g_ProxyMsgCenter.load() == nullptr) {
            auto* center = new CProxyMsgCenter;
            if (!center->Init(PROXY_ENDPOINT_ID)) {
                center->UnInit();
                delete center;
                PROXY_LOG("InitProxy", "InitProxy failed: no endpoint");
                return false;
            }
            g_ProxyMsgCenter = center;
        }
        if (g_P2PProxy.load() == nullptr) {
            g_P2PProxy = new CP2PProxy;
        }
        g_ProxyInitialised = true;
        StartCoreServer();
    }
    PROXY_LOG("InitProxy", "InitProxy ok");
    return true;
}

bool UnInitProxy() {
    CAutoLock lock;
    if (!g_ProxyInitialised) {
        return true;
    }
    g_NotifySinks.clear();
    if (CProxyMsgCenter* center = g_ProxyMsgCenter.load()) {
        center->UnInit();  // no notification is delivered after this
        DeleteObject(g_ProxyMsgCenter);
    }
    DeleteObject(g_P2PProxy);
    DeleteObject(g_PlayerCoreProxy);
    StopWatchThread();
    PROXY_LOG("UnInitProxy", "UnInitProxy ok");
    return true;
}

IPlayerCore* GetPlayerCoreProxy() {
    CAutoLock lock;
    if (!g_ProxyInitialised) {
        return nullptr;
    }
    if (g_PlayerCoreProxy.load() == nullptr) {
        g_PlayerCoreProxy = new CPlayerCoreProxy;
    }
    return g_PlayerCoreProxy.load();
}

void RegistNotify(IServiceNotify* sink) {
    if (sink == nullptr) {
        return;
    }
    CAutoLock lock;
    if (std::find(g_NotifySinks.begin(), g_NotifySinks.end(), sink) == g_NotifySinks.end()) {
        g_NotifySinks.push_back(sink);
    }
}

void UnRegistNotify(IServiceNotify* sink) {
    if (sink == nullptr) {
        return;
    }
    CAutoLock lock;
    std::erase(g_NotifySinks, sink);
}
