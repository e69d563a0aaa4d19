#include "test_endpoint.h"

#include <chrono>
#include <cstring>

namespace servicetest {

HRESULT TestEndpoint::OnMessage(ICallMessage* message) {
    CallMsgRecord* record = nullptr;
    if (!message || message->GetRecord(&record) != S_OK || !record) {
        return E_FAIL;
    }
    log_.Add(record->channel, record->payload, record->length);
    return S_OK;
}

Reply TestEndpoint::Call(int channel, const std::string& payload, DWORD timeout) {
    Reply reply;
    void* buffer = nullptr;
    int length = 0;
    reply.result =
        SendMsg(SERVICE_ENDPOINT_ID, 0, channel, payload.empty() ? nullptr : payload.data(),
                static_cast<int>(payload.size()), &buffer, &length, timeout);
    if (buffer) {
        reply.replied = true;
        reply.bytes.assign(static_cast<const char*>(buffer),
                           length > 0 ? static_cast<size_t>(length) : 0);
        FreeReply(buffer);
    }
    return reply;
}

std::vector<Received> TestEndpoint::Messages() const {
    return log_.All();
}

bool TestEndpoint::WaitFor(const std::function<bool(const std::vector<Received>&)>& done,
                           int timeoutMs) const {
    return log_.WaitFor(done, std::chrono::milliseconds(timeoutMs));
}

int PayloadId(const std::string& bytes) {
    if (bytes.size() < 4) {
        return -1;
    }
    int32_t id = 0;
    std::memcpy(&id, bytes.data(), 4);
    return id;
}

int CountOf(const std::vector<Received>& messages, int channel, int id) {
    int count = 0;
    for (const Received& message : messages) {
        if (message.channel == channel && PayloadId(message.bytes) == id) {
            ++count;
        }
    }
    return count;
}

}  // namespace servicetest
