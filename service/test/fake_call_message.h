// Test support: an incoming message built by hand, as the call center would hand it to
// OnMessage, with reply outs that point into the message itself.
#pragma once

#include <cstdint>
#include <string>

#include "relayhub.h"

namespace servicetest {

class FakeCallMessage final : public ICallMessage {
public:
    FakeCallMessage(int channel, std::string payload);
    // Gives a stored reply back to the call center.
    ~FakeCallMessage();
    FakeCallMessage(const FakeCallMessage&) = delete;
    FakeCallMessage& operator=(const FakeCallMessage&) = delete;

    // GetRecord gives no record.
    void DropRecord() { giveRecord_ = false; }
    // The record's payload pointer is null (its length stays).
    void DropPayload() { record_.payload = nullptr; }
    // The record has no reply outs.
    void DropReplyOuts();

    bool HasReply() const { return reply_ != nullptr; }
    int32_t ReplyLength() const { return replyLength_; }
    // The reply's bytes, as many as its declared length; empty without a reply.
    std::string Reply() const;

    HRESULT QueryInterface(REFIID, void** out) override;
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT GetRecord(CallMsgRecord** record) override;

private:
    std::string payload_;
    CallMsgRecord record_{};
    void* reply_ = nullptr;
    int32_t replyLength_ = -1;
    bool giveRecord_ = true;
};

}  // namespace servicetest
