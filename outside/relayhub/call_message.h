// One incoming message as the receiver sees it: the record over the arrived frame, and the
// reply the receiver stores through it.
#pragma once

#include <cstring>

#include "com_object.h"
#include "frame.h"
#include "relayhub.h"

namespace relayhub {

class CallMessage final : public ICallMessage {
public:
    explicit CallMessage(const Frame& frame) {
        std::memcpy(record_.header, frame.raw, sizeof record_.header);
        record_.channel = frame.header.channel;
        record_.payload = frame.payload.empty() ? nullptr : frame.payload.data();
        record_.length = static_cast<int32_t>(frame.payload.size());
        record_.replyOut = &reply_;
        record_.replyLengthOut = &replyLength_;
    }
    CallMessage(const CallMessage&) = delete;
    CallMessage& operator=(const CallMessage&) = delete;

    HRESULT QueryInterface(REFIID iid, void** out) override {
        return QueryOwnInterface<ICallMessage>(this, IID_ICallMessage, iid, out);
    }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT GetRecord(CallMsgRecord** record) override {
        if (!record) {
            return E_POINTER;
        }
        *record = &record_;
        return S_OK;
    }

    void* Reply() const { return reply_; }
    int32_t ReplyLength() const { return replyLength_; }

private:
    CallMsgRecord record_ = {};
    void* reply_ = nullptr;
    int32_t replyLength_ = 0;
};

}  // namespace relayhub
