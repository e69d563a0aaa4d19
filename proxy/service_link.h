// The proxy's two ways of reaching the service, through the proxy's message center
// (g_ProxyMsgCenter), with the transport's outcomes translated to one answer in one place.
// Without a message center a call fails and a post goes nowhere, as sends without an endpoint do.
#pragma once

#include "byte_stream.h"

class CMsgCenter;

// The reply of a call to the service. It gives the buffer back to the message center that
// received it when it goes out of scope.
class ServiceReply {
public:
    ServiceReply() = default;
    ~ServiceReply() { Free(); }
    ServiceReply(const ServiceReply&) = delete;
    ServiceReply& operator=(const ServiceReply&) = delete;

    const void* Data() const { return data_; }
    int Length() const { return length_; }
    // A reader over the whole reply, bounded by its declared length.
    void AttachReader(CStreamReader& reader) const;
    void Free();

private:
    friend bool CallService(int channel, const CStreamWriter& payload, ServiceReply& reply);

    CMsgCenter* owner_ = nullptr;
    void* data_ = nullptr;
    int length_ = 0;
};

// A synchronous call to SERVICE_ENDPOINT_ID on the channel, waiting up to SERVICE_CALL_TIMEOUT.
// True when the service answered: the send returned 0 with a reply buffer of a length above 0.
// Any buffer that came with a failed answer is given back at once.
bool CallService(int channel, const CStreamWriter& payload, ServiceReply& reply);

// A one-way post to SERVICE_ENDPOINT_ID on the channel; its outcome is never known.
void PostService(int channel, const CStreamWriter& payload);
