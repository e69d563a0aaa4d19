#include "proxy_objects.h"

std::atomic<CProxyMsgCenter*> g_ProxyMsgCenter{nullptr};
std::atomic<CP2PProxy*> g_P2PProxy{nullptr};
std::atomic<CPlayerCoreProxy*> g_PlayerCoreProxy{nullptr};
