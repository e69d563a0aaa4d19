#include "service_msg_center.h"

#include "p2p_stub.h"
#include "play_core_stub.h"
#include "service_globals.h"
#include "service_message.h"
#include "service_notify.h"
#include "service_stop.h"

namespace {

// The answer to "is the service running" and to the stop request: one byte, 1.
void StoreRunningReply(CMsgCenter* center, CallMsgRecord* record) {
    const BYTE running = 1;
    StoreReply(center, record, &running, sizeof running);
}

}  // namespace

CServiceMsgCenter::CServiceMsgCenter() = default;

CServiceMsgCenter::~CServiceMsgCenter() {
    RetireServiceNotifications(*this);
}

bool CServiceMsgCenter::Init(int endpointId) {
    const bool registered = CMsgCenter::Init(endpointId);
    OpenServiceNotifications(*this);
    return registered;
}

bool CServiceMsgCenter::UnInit() {
    CloseServiceNotifications(*this);
    return CMsgCenter::UnInit();
}

HRESULT CServiceMsgCenter::OnMessage(ICallMessage* message) {
    CallMsgRecord* record = GetMessageRecord(message);
    if (!record) {
        return E_FAIL;
    }
    switch (record->channel) {
        case CHANNEL_P2P:
            if (CP2PStub* stub = g_P2PStub.load()) {
                stub->Dispatch(message);
            }
            break;
        case CHANNEL_PLAYER:
            if (CPlayCoreStub* stub = g_PlayCoreStub.load()) {
                stub->Dispatch(message);
            }
            break;
        case CHANNEL_QUERY_RUNNING:
            StoreRunningReply(this, record);
            break;
        case CHANNEL_STOP:
            // Answered first; the program's main thread shuts down after this returns. The
            // window message goes whether or not a reply buffer was had.
            StoreRunningReply(this, record);
            RequestServiceStop();
            break;
        default:
            break;
    }
    return S_OK;
}
