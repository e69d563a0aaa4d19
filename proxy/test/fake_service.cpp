#include "fake_service.h"

#include <chrono>
#include <cstring>

#include "brlib.h"
#include "msg_ids.h"

namespace proxytest {

FakeService::FakeService() = default;

FakeService::~FakeService() {
    Stop();
}

bool FakeService::Start(int endpointId) {
    const std::string dir = BrLib::Dir::GetBrPath(BrLib::BR_PATH_CALLCENTER_DIR);
    center_ = RS_InitializeCallCenter(dir.c_str(), 3);
    if (center_ == nullptr) {
        return false;
    }
    endpoint_ = center_->CreateEndpoint(endpointId, 0, this, 0);
    return endpoint_ != nullptr;
}

void FakeService::Stop() {
    if (endpoint_ != nullptr) {
        center_->ReleaseEndpoint(endpoint_);
        endpoint_ = nullptr;
    }
}

void FakeService::SetAnswer(std::function<Answer(const Received&)> answer) {
    std::lock_guard<std::mutex> lock(mutex_);
    answer_ = std::move(answer);
}

std::vector<Received> FakeService::Requests() {
    std::vector<Received> requests;
    for (const brtest::Received& logged : log_.All()) {
        requests.push_back({logged.channel, Bytes(logged.bytes.begin(), logged.bytes.end())});
    }
    return requests;
}

bool FakeService::WaitForRequests(size_t count, int timeoutMs) {
    return log_.WaitForCount(count, std::chrono::milliseconds(timeoutMs));
}

HRESULT FakeService::Notify(int channel, const Bytes& payload) {
    if (endpoint_ == nullptr) {
        return E_FAIL;
    }
    return endpoint_->Call(PROXY_ENDPOINT_ID, 0, channel, payload.data(),
                           static_cast<int32_t>(payload.size()), nullptr, nullptr, 0);
}

HRESULT FakeService::QueryInterface(REFIID iid, void** out) {
    if (iid == IID_IUnknown || iid == IID_IMessageCallBack) {
        *out = this;
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT FakeService::OnMessage(ICallMessage* message) {
    CallMsgRecord* record = nullptr;
    if (message == nullptr || message->GetRecord(&record) != S_OK || record == nullptr) {
        return E_FAIL;
    }
    Received request;
    request.channel = record->channel;
    const auto* bytes = static_cast<const uint8_t*>(record->payload);
    if (bytes != nullptr && record->length > 0) {
        request.payload.assign(bytes, bytes + record->length);
    }
    log_.Add(record->channel, record->payload, record->length);
    std::function<Answer(const Received&)> answer;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        answer = answer_;
    }
    // The answer runs outside the lock: it may notify the proxy, which may call back in.
    const Answer reply = answer ? answer(request) : std::nullopt;
    if (reply.has_value()) {
        void* buffer = center_->AllocBuffer(static_cast<int32_t>(reply->size()));
        if (buffer != nullptr) {
            if (!reply->empty()) {
                std::memcpy(buffer, reply->data(), reply->size());
            }
            *record->replyOut = buffer;
            *record->replyLengthOut = static_cast<int32_t>(reply->size());
        }
    }
    return S_OK;
}

Bytes SignBytes(uint32_t first, uint32_t second) {
    return Ints({static_cast<int>(first), static_cast<int>(second)});
}

}  // namespace proxytest
