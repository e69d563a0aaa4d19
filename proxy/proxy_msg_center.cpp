#include "proxy_msg_center.h"

#include "p2p_proxy.h"
#include "player_core_proxy.h"
#include "proxy_objects.h"

HRESULT CProxyMsgCenter::OnMessage(ICallMessage* message) {
    if (message == nullptr) {
        return E_FAIL;
    }
    CallMsgRecord* record = nullptr;
    if (message->GetRecord(&record) != S_OK || record == nullptr) {
        return E_FAIL;
    }
    if (record->channel == CHANNEL_P2P) {
        if (CP2PProxy* p2p = g_P2PProxy.load()) {
            p2p->Dispatch(message);
        }
    } else if (record->channel == CHANNEL_PLAYER) {
        if (CPlayerCoreProxy* player = g_PlayerCoreProxy.load()) {
            player->OnNotify(message);
        }
    }
    return 0;
}
