#include "recording_endpoint.h"

#include <cstring>

#include "brlib.h"

namespace servicetest {

RecordingEndpoint::RecordingEndpoint(int id) {
    const std::string dir = BrLib::Dir::GetBrPath(BrLib::BR_PATH_CALLCENTER_DIR);
    center_ = RS_InitializeCallCenter(dir.c_str(), 3);
    if (center_) {
        endpoint_ = center_->CreateEndpoint(id, 0, this, 0);
    }
}

RecordingEndpoint::~RecordingEndpoint() {
    Unhold();
    if (endpoint_) {
        center_->ReleaseEndpoint(endpoint_);
    }
}

std::vector<Received> RecordingEndpoint::Messages() {
    return log_.All();
}

bool RecordingEndpoint::WaitForCount(size_t count, std::chrono::milliseconds limit) {
    return log_.WaitForCount(count, limit);
}

void RecordingEndpoint::Hold() {
    std::lock_guard<std::mutex> guard(mu_);
    hold_ = true;
}

void RecordingEndpoint::Unhold() {
    {
        std::lock_guard<std::mutex> guard(mu_);
        hold_ = false;
    }
    changed_.notify_all();
}

bool RecordingEndpoint::WaitUntilHolding(std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> guard(mu_);
    return changed_.wait_for(guard, limit, [&] { return holding_ > 0; });
}

CallResult RecordingEndpoint::Call(int target, int channel, const std::string& payload) {
    CallResult out{E_FAIL, false, std::string()};
    if (!endpoint_) {
        return out;
    }
    void* reply = nullptr;
    int32_t length = 0;
    out.result =
        endpoint_->Call(target, 0, channel, payload.data(), static_cast<int32_t>(payload.size()),
                        &reply, &length, RH_INFINITE);
    if (reply) {
        out.replied = true;
        out.reply.assign(static_cast<const char*>(reply), length > 0 ? length : 0);
        center_->FreeBuffer(reply);
    }
    return out;
}

HRESULT RecordingEndpoint::QueryInterface(REFIID iid, void** out) {
    if (!out) {
        return E_POINTER;
    }
    if (std::memcmp(&iid, &IID_IUnknown, sizeof iid) == 0 ||
        std::memcmp(&iid, &IID_IMessageCallBack, sizeof iid) == 0) {
        *out = static_cast<IMessageCallBack*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_FAIL;
}

HRESULT RecordingEndpoint::OnMessage(ICallMessage* message) {
    CallMsgRecord* record = nullptr;
    if (!message || message->GetRecord(&record) != S_OK || !record) {
        return E_FAIL;
    }
    log_.Add(record->channel, record->payload, record->length);
    std::unique_lock<std::mutex> guard(mu_);
    ++holding_;
    changed_.notify_all();
    changed_.wait(guard, [&] { return !hold_; });
    --holding_;
    return S_OK;
}

}  // namespace servicetest
