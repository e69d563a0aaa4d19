#include "msg_request.h"

#include <cstring>
#include <new>

MsgRequest* NewMsgRequest(int target, int reserved, int channel, const void* payload, int length,
                          void** reply, int* replyLength) {
    MsgRequest* request = new (std::nothrow) MsgRequest{};
    if (!request) {
        return nullptr;
    }
    request->target = target;
    request->reserved = reserved;
    request->channel = channel;
    request->length = length;
    request->reply = reply;
    request->replyLength = replyLength;
    // Without bytes a positive length stays as it is, so the call center refuses it exactly as
    // it refuses the same direct call.
    if (length > 0 && payload) {
        request->payload = new (std::nothrow) uint8_t[static_cast<size_t>(length)];
        if (!request->payload) {
            delete request;
            return nullptr;
        }
        std::memcpy(request->payload, payload, static_cast<size_t>(length));
    }
    return request;
}

void ReleaseMsgRequest(MsgRequest* request, ICallCenter* center) {
    if (!request) {
        return;
    }
    if (request->replyBuffer && center) {
        center->FreeBuffer(request->replyBuffer);
    }
    delete[] request->payload;
    delete request;
}
