// CServiceMsgCenter: the service's message center on SERVICE_ENDPOINT_ID. OnMessage, on the
// call center's delivery thread, routes each incoming message by its channel: P2P commands to
// g_P2PStub, player commands to g_PlayCoreStub, and answers the proxy's two service-control
// requests itself (is the service running; stop). The stubs also send their notifications and
// take their reply buffers through it.
#pragma once

#include "msg_center.h"

class CStreamWriter;

class CServiceMsgCenter final : public CMsgCenter {
public:
    CServiceMsgCenter();
    // Closes the notification gate, in case UnInit was not called, and clears
    // g_ServiceMsgCenter when it still points here.
    ~CServiceMsgCenter() override;

    // CMsgCenter::Init, then opens the notification gate: notifications raised before Init has
    // returned wait for it. It hides the base's Init, as UnInit does.
    bool Init(int endpointId);
    // Closes the notification gate and waits for the notifications under way on the engines'
    // threads, then CMsgCenter::UnInit. It hides the base's UnInit, so the program, which holds
    // the object as a CServiceMsgCenter, never releases the endpoint under a running send.
    bool UnInit();

    // E_FAIL when the message or its record is missing; otherwise 0, whatever the stubs return.
    HRESULT OnMessage(ICallMessage* message) override;

private:
    friend void SendServiceNotification(int channel, const CStreamWriter& payload);
    friend void OpenServiceNotifications(CServiceMsgCenter& center);
    friend void CloseServiceNotifications(CServiceMsgCenter& center);
    friend void RetireServiceNotifications(CServiceMsgCenter& center);

    // The notification gate (service_notify.h), guarded by its process-wide lock: opened by
    // Init, closed by UnInit, and the number of notification sends under way or waiting on this
    // message center.
    bool m_notifyOpen = false;
    bool m_notifyClosed = false;
    int m_notifySending = 0;
};
