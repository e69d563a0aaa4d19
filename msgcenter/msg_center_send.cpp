// The message center's sends: direct calls, calls queued to the worker with a time-out, and
// one-way posts.
#include "msg_center.h"
#include "msg_request.h"

int CMsgCenter::SendMsg(int target, int reserved, int channel, const void* payload, int length,
                        void** reply, int* replyLength, DWORD timeout) {
    if (!m_pEndpoint) {
        return E_FAIL;
    }
    if (timeout == INFINITE || (m_dwWorkerId != 0 && GetCurrentThreadId() == m_dwWorkerId)) {
        return m_pEndpoint->Call(target, reserved, channel, payload, length, reply, replyLength,
                                 timeout);
    }
    EnterCriticalSection(&m_sendLock);
    int result = E_FAIL;
    MsgRequest* request =
        NewMsgRequest(target, reserved, channel, payload, length, reply, replyLength);
    if (request) {
        if (Hand(WM_MSGCENTER_CALL, request)) {
            result = AwaitReply(request, timeout);
        } else {
            ReleaseMsgRequest(request, m_pCallCenter);
        }
    }
    LeaveCriticalSection(&m_sendLock);
    return result;
}

int CMsgCenter::AwaitReply(MsgRequest* request, DWORD timeout) {
    // The reply event is shared by the queued sends, which the send lock lets through one at a
    // time; a signal may be left over from a request abandoned earlier. So every wake-up looks at
    // this request's own flag and waits again for what is left of the time-out.
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;  // wraps correctly below 49 days
        const DWORD left = elapsed < timeout ? timeout - elapsed : 0;
        const DWORD waited = WaitForSingleObject(m_hReplyEvent, left);
        if (request->completed.load(std::memory_order_acquire)) {
            break;
        }
        if (waited != WAIT_OBJECT_0) {
            // Timed out (or the wait failed) before the worker finished: the worker now owns
            // the request. Nothing reaches this caller's reply outs, and a late reply buffer is
            // given back when the worker releases the request.
            Abandon(request);
            return E_FAIL;
        }
    }
    // Completed while this caller still waits: the worker will not touch the request again.
    const int result = request->result;
    if (result == S_OK) {
        if (request->reply) {
            *request->reply = request->replyBuffer;
            request->replyBuffer = nullptr;  // the caller's now
        }
        if (request->replyLength) {
            *request->replyLength = request->replyBufferLength;
        }
    }
    ReleaseMsgRequest(request, m_pCallCenter);
    return result;
}

void CMsgCenter::Abandon(MsgRequest* request) {
    // WM_MSGCENTER_FREE must follow the request's own message, or the worker would perform a
    // request that nobody releases. A full queue drains; an ended worker never performs it (and
    // a forcibly stopped one may still hold it), so the request is then left alone.
    while (!Hand(WM_MSGCENTER_FREE, request)) {
        if (GetLastError() != ERROR_NOT_ENOUGH_QUOTA) {
            return;
        }
        Sleep(1);
    }
}

bool CMsgCenter::Hand(UINT message, MsgRequest* request) {
    if (m_dwWorkerId == 0) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return false;
    }
    return PostThreadMessageA(m_dwWorkerId, message, reinterpret_cast<WPARAM>(request),
                              reinterpret_cast<LPARAM>(request)) != FALSE;
}

int CMsgCenter::PostMsg(int target, int reserved, int channel, const void* payload, int length) {
    MsgRequest* request =
        NewMsgRequest(target, reserved, channel, payload, length, nullptr, nullptr);
    if (!request) {
        return 0;
    }
    if (Hand(WM_MSGCENTER_POST, request)) {
        Abandon(request);
    } else {
        ReleaseMsgRequest(request, m_pCallCenter);  // never reached a worker
    }
    return 0;
}

int CMsgCenter::SendMsgNoReply(int target, int reserved, int channel, const void* payload,
                               int length, DWORD timeout) {
    return SendMsg(target, reserved, channel, payload, length, nullptr, nullptr, timeout);
}
