// MsgRequest: one call or post that a sender hands to the message center's worker.
//
// The call center never writes into the sender's variables. The worker passes the request's own
// reply fields (replyBuffer, replyBufferLength) to ICallEndpoint::Call; the sender copies them to
// its reply outs only after it has seen `completed` while it was still waiting. A request whose
// sender gave up is released by the worker (WM_MSGCENTER_FREE, always behind its
// WM_MSGCENTER_CALL), and a reply buffer that arrived for it goes back to the call center.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "relayhub.h"

struct MsgRequest {
    int32_t target;
    int32_t reserved;  // passed through to the call center untouched
    int32_t channel;
    uint8_t* payload;  // the request's own copy; null when the length is 0 or below
    int32_t length;
    // The sender's reply outs (null for posts). Only the sender's thread writes through them.
    void** reply;
    int32_t* replyLength;
    int32_t result;  // 0 until the call has run, then the call center's result
    // Where the call center stores the reply: owned by the request until the sender takes it.
    void* replyBuffer;
    int32_t replyBufferLength;
    // Set by the worker, last of all its writes, once the call has run. The worker touches the
    // request again only to release it on WM_MSGCENTER_FREE.
    std::atomic<bool> completed;
};

// A request with a copy of the payload (when length > 0 and there are bytes); null when memory
// runs out.
MsgRequest* NewMsgRequest(int target, int reserved, int channel, const void* payload, int length,
                          void** reply, int* replyLength);
// Releases the request and its payload copy; a reply buffer it still owns goes back to center
// (when there is one).
void ReleaseMsgRequest(MsgRequest* request, ICallCenter* center);
