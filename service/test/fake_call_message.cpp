#include "fake_call_message.h"

#include "brlib.h"

namespace servicetest {

FakeCallMessage::FakeCallMessage(int channel, std::string payload) : payload_(std::move(payload)) {
    record_.channel = channel;
    record_.payload = payload_.empty() ? nullptr : payload_.data();
    record_.length = static_cast<int32_t>(payload_.size());
    record_.replyOut = &reply_;
    record_.replyLengthOut = &replyLength_;
}

FakeCallMessage::~FakeCallMessage() {
    if (reply_) {
        // Reply buffers come from the call center of the process's runtime root.
        const std::string dir = BrLib::Dir::GetBrPath(BrLib::BR_PATH_CALLCENTER_DIR);
        if (ICallCenter* center = RS_InitializeCallCenter(dir.c_str(), 3)) {
            center->FreeBuffer(reply_);
        }
    }
}

void FakeCallMessage::DropReplyOuts() {
    record_.replyOut = nullptr;
    record_.replyLengthOut = nullptr;
}

std::string FakeCallMessage::Reply() const {
    if (!reply_ || replyLength_ <= 0) {
        return std::string();
    }
    return std::string(static_cast<const char*>(reply_), static_cast<size_t>(replyLength_));
}

HRESULT FakeCallMessage::QueryInterface(REFIID, void** out) {
    if (out) {
        *out = nullptr;
    }
    return E_FAIL;
}

HRESULT FakeCallMessage::GetRecord(CallMsgRecord** record) {
    if (!record) {
        return E_POINTER;
    }
    *record = giveRecord_ ? &record_ : nullptr;
    return S_OK;
}

}  // namespace servicetest
