#include "service_link.h"

#include "msg_ids.h"
#include "proxy_msg_center.h"
#include "proxy_objects.h"

void ServiceReply::AttachReader(CStreamReader& reader) const {
    const auto* begin = static_cast<const uint8_t*>(data_);
    reader.Attach(begin, begin == nullptr ? nullptr : begin + length_);
}

void ServiceReply::Free() {
    if (data_ != nullptr && owner_ != nullptr) {
        owner_->FreeReply(data_);
    }
    owner_ = nullptr;
    data_ = nullptr;
    length_ = 0;
}

bool CallService(int channel, const CStreamWriter& payload, ServiceReply& reply) {
    reply.Free();
    CMsgCenter* center = g_ProxyMsgCenter.load();
    if (center == nullptr) {
        return false;
    }
    void* data = nullptr;
    int length = 0;
    const int result = center->SendMsg(SERVICE_ENDPOINT_ID, 0, channel, payload.GetData(),
                                       payload.GetSize(), &data, &length, SERVICE_CALL_TIMEOUT);
    if (result != 0) {
        return false;
    }
    reply.owner_ = center;
    reply.data_ = data;
    reply.length_ = data == nullptr ? 0 : length;
    if (data == nullptr || length <= 0) {
        reply.Free();
        return false;
    }
    return true;
}

void PostService(int channel, const CStreamWriter& payload) {
    if (CMsgCenter* center = g_ProxyMsgCenter.load()) {
        center->PostMsg(SERVICE_ENDPOINT_ID, 0, channel, payload.GetData(), payload.GetSize());
    }
}
