// Test support: the message center's private state, for tests that must run code on its worker
// thread (through a fake endpoint) or see that a repeated Init created nothing.
#pragma once

#include "msg_center.h"

struct MsgCenterTestAccess {
    static ICallEndpoint*& Endpoint(CMsgCenter& center) { return center.m_pEndpoint; }
    static ICallCenter* CallCenter(const CMsgCenter& center) { return center.m_pCallCenter; }
    static HANDLE Worker(const CMsgCenter& center) { return center.m_hWorker; }
    static DWORD WorkerId(const CMsgCenter& center) { return center.m_dwWorkerId; }
    static HANDLE ReplyEvent(const CMsgCenter& center) { return center.m_hReplyEvent; }
};
