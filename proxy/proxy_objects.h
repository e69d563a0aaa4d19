// The proxy library's single objects. The exports own them: InitProxy creates the message
// center and the P2P proxy, the first GetPlayerCoreProxy the player-core proxy, and UnInitProxy
// deletes all three, clearing each pointer before deleting its object. The pointers are atomic
// because the call center's delivery thread reads them (CProxyMsgCenter::OnMessage) while a host
// thread sets them; a null pointer means the object does not exist.
#pragma once

#include <atomic>

class CProxyMsgCenter;
class CP2PProxy;
class CPlayerCoreProxy;

extern std::atomic<CProxyMsgCenter*> g_ProxyMsgCenter;
extern std::atomic<CP2PProxy*> g_P2PProxy;
extern std::atomic<CPlayerCoreProxy*> g_PlayerCoreProxy;
