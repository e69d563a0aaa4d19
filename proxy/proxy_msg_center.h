// CProxyMsgCenter: the proxy's message center (endpoint PROXY_ENDPOINT_ID). It adds nothing to
// CMsgCenter but the routing of the service's notifications, which arrive on the call center's
// delivery thread: CHANNEL_P2P to the P2P proxy, CHANNEL_PLAYER to the player-core proxy, each
// only while that object exists. It takes no lock of its own.
#pragma once

#include "msg_center.h"

class CProxyMsgCenter final : public CMsgCenter {
public:
    // E_FAIL for a null message or a message without a record; 0 for every other message,
    // whatever the handler answered. No reply is stored.
    HRESULT OnMessage(ICallMessage* message) override;
};
