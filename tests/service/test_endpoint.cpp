#include "test_endpoint.h"

#include <chrono>
#include <cstring>

namespace svctest {

HRESULT TestEndpoint::OnMessage(ICallMessage* message) {
    CallMsgRecord* record = nullptr;
    if (!message || message->GetRecord(&record) != S_OK || !record) {
        return E_FAIL;
    }
    Received received;
    received.channel = record->channel;
    if (record->payload && record->length > 0) {
        received.bytes.assign(static_cast<const char*>(record->payload),
                              static_cast<size_t>(record->length));
    }
    {
        std::lock_guard<std::mutex> hold(mutex_);
        messages_.push_back(std::move(received));
    }
    arrived_.notify_all();
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
    std::lock_guard<std::mutex> hold(mutex_);
    return messages_;
}

bool TestEndpoint::WaitFor(const std::function<bool(const std::vector<Received>&)>& done,
                           int timeoutMs) const {
    std::unique_lock<std::mutex> hold(mutex_);
    return arrived_.wait_for(hold, std::chrono::milliseconds(timeoutMs),
                             [&] { return done(messages_); });
}

std::string Bytes(const CStreamWriter& writer) {
    return writer.GetData() ? std::string(reinterpret_cast<const char*>(writer.GetData()),
                                          static_cast<size_t>(writer.GetSize()))
                            : std::string();
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

}  // namespace svctest
