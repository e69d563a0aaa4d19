// Test support: an incoming message handed straight to a handler, with a record or none.
#pragma once

#include <cstdint>
#include <vector>

#include "relayhub.h"

namespace proxytest {

class FakeMessage final : public ICallMessage {
public:
    // A message on the channel with the payload; without a record when hasRecord is false.
    FakeMessage(int channel, const std::vector<uint8_t>& payload, bool hasRecord = true)
        : payload_(payload), hasRecord_(hasRecord) {
        record_.channel = channel;
        record_.payload = payload_.empty() ? nullptr : payload_.data();
        record_.length = static_cast<int32_t>(payload_.size());
        record_.replyOut = &reply_;
        record_.replyLengthOut = &replyLength_;
    }
    FakeMessage(const FakeMessage&) = delete;
    FakeMessage& operator=(const FakeMessage&) = delete;

    HRESULT QueryInterface(REFIID, void** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT GetRecord(CallMsgRecord** record) override {
        *record = hasRecord_ ? &record_ : nullptr;
        return S_OK;
    }
    // Whether a handler stored a reply.
    bool Replied() const { return reply_ != nullptr || replyLength_ != 0; }

private:
    std::vector<uint8_t> payload_;
    bool hasRecord_;
    CallMsgRecord record_{};
    void* reply_ = nullptr;
    int32_t replyLength_ = 0;
};

}  // namespace proxytest
