// Test support: a receiver that answers by channel, used by the tests' own endpoints and by the
// peer helper program, so both sides of a test behave alike.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "relayhub.h"

namespace relayhubtest {

enum PeerChannel : int32_t {
    kEcho = 1,         // replies with the payload
    kNoReply = 2,      // stores no reply
    kEmptyReply = 3,   // replies with a buffer of length 0
    kSleepEcho = 4,    // payload: int32 milliseconds, bytes; sleeps, then replies with the bytes
    kCallBack = 5,     // payload: int32 target, int32 milliseconds, bytes; sleeps, calls target
                       // kEcho with the bytes; replies int32 result and the reply's bytes
    kBadReply = 6,     // stores a 4-byte buffer with the length 5
    kLiveBuffers = 7,  // replies int32: library buffers alive in this process
    kRelease = 8,      // releases its own endpoint from inside OnMessage, then replies "bye"
};

std::vector<uint8_t> Bytes(const std::string& text);
std::vector<uint8_t> SleepPayload(int32_t milliseconds, const std::string& bytes);
std::vector<uint8_t> CallBackPayload(int32_t target, int32_t milliseconds,
                                     const std::string& bytes);

class TestPeer final : public IMessageCallBack {
public:
    explicit TestPeer(ICallCenter* center) : center_(center) {}

    // The endpoint the peer makes its own calls through (kCallBack, kRelease).
    void SetEndpoint(ICallEndpoint* endpoint) { endpoint_ = endpoint; }
    int Delivered() const { return delivered_; }

    HRESULT QueryInterface(REFIID iid, void** out) override;
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT OnMessage(ICallMessage* message) override;

private:
    void Store(CallMsgRecord* record, const void* bytes, size_t size);

    ICallCenter* const center_;
    std::atomic<ICallEndpoint*> endpoint_{nullptr};
    std::atomic<int> delivered_{0};
};

}  // namespace relayhubtest
