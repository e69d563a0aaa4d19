// The message center's worker: performs queued calls and posts one at a time, in the order
// they were posted.
#include "msg_center.h"
#include "msg_request.h"

unsigned __stdcall CMsgCenter::WorkerMain(void* self) {
    static_cast<CMsgCenter*>(self)->RunWorker();
    return 0;
}

void CMsgCenter::RunWorker() {
    // Kept in a local: once a call returns, the worker must not read this object before its
    // next message, since after a forced stop the object may be gone (the layer then stops the
    // thread at GetMessageA).
    const HANDLE replyEvent = m_hReplyEvent;
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // makes the queue posts go to
    SetEvent(m_hStartEvent);

    // GetMessageA gives 0 for WM_QUIT and -1 when the queue is gone.
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        MsgRequest* request = reinterpret_cast<MsgRequest*>(msg.wParam);
        switch (msg.message) {
            case WM_MSGCENTER_CALL:
                if (request) {
                    request->result = Perform(request);
                    request->completed.store(true, std::memory_order_release);
                    // Wakes the one queued sender; it checks that its own request completed.
                    SetEvent(replyEvent);
                }
                break;
            case WM_MSGCENTER_POST:
                if (request) {
                    request->result = Perform(request);
                }
                break;
            case WM_MSGCENTER_FREE:
                ReleaseMsgRequest(request, m_pCallCenter);
                break;
            case WM_MSGCENTER_QUIT:
                return;
            default:
                break;
        }
    }
}

int CMsgCenter::Perform(MsgRequest* request) {
    ICallEndpoint* endpoint = m_pEndpoint;
    if (!endpoint) {
        return E_FAIL;  // never reported as delivered
    }
    // 0: no time-out of the library's own; the sender keeps the time-out.
    return endpoint->Call(request->target, request->reserved, request->channel, request->payload,
                          request->length, request->reply ? &request->replyBuffer : nullptr,
                          request->replyLength ? &request->replyBufferLength : nullptr,
                          RH_NO_TIMEOUT);
}
