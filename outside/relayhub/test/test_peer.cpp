#include "test_peer.h"

#include <chrono>
#include <cstring>
#include <thread>

#include "call_center.h"

namespace relayhubtest {

namespace {

void PutInt(std::vector<uint8_t>& out, int32_t v) {
    uint8_t bytes[4];
    std::memcpy(bytes, &v, 4);
    out.insert(out.end(), bytes, bytes + 4);
}

int32_t IntAt(const CallMsgRecord* r, size_t index) {
    int32_t v = 0;
    if (r->length >= static_cast<int32_t>(4 * (index + 1))) {
        std::memcpy(&v, static_cast<const uint8_t*>(r->payload) + 4 * index, 4);
    }
    return v;
}

std::string TextFrom(const CallMsgRecord* r, size_t offset) {
    if (r->length <= static_cast<int32_t>(offset)) {
        return std::string();
    }
    return std::string(static_cast<const char*>(r->payload) + offset, r->length - offset);
}

}  // namespace

std::vector<uint8_t> Bytes(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

std::vector<uint8_t> SleepPayload(int32_t milliseconds, const std::string& bytes) {
    std::vector<uint8_t> out;
    PutInt(out, milliseconds);
    out.insert(out.end(), bytes.begin(), bytes.end());
    return out;
}

std::vector<uint8_t> CallBackPayload(int32_t target, int32_t milliseconds,
                                     const std::string& bytes) {
    std::vector<uint8_t> out;
    PutInt(out, target);
    PutInt(out, milliseconds);
    out.insert(out.end(), bytes.begin(), bytes.end());
    return out;
}

HRESULT TestPeer::QueryInterface(REFIID iid, void** out) {
    if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IMessageCallBack)) {
        *out = this;
        return S_OK;
    }
    *out = nullptr;
    return E_FAIL;
}

void TestPeer::Store(CallMsgRecord* record, const void* bytes, size_t size) {
    void* buffer = center_->AllocBuffer(static_cast<int32_t>(size));
    if (size > 0) {
        std::memcpy(buffer, bytes, size);
    }
    *record->replyOut = buffer;
    *record->replyLengthOut = static_cast<int32_t>(size);
}

HRESULT TestPeer::OnMessage(ICallMessage* message) {
    ++delivered_;
    CallMsgRecord* r = nullptr;
    if (!message || message->GetRecord(&r) != S_OK || !r) {
        return E_FAIL;
    }
    switch (r->channel) {
        case kEcho:
            Store(r, r->payload, static_cast<size_t>(r->length));
            break;
        case kNoReply:
            break;
        case kEmptyReply:
            Store(r, nullptr, 0);
            break;
        case kSleepEcho: {
            std::this_thread::sleep_for(std::chrono::milliseconds(IntAt(r, 0)));
            std::string text = TextFrom(r, 4);
            Store(r, text.data(), text.size());
            break;
        }
        case kCallBack: {
            std::this_thread::sleep_for(std::chrono::milliseconds(IntAt(r, 1)));
            std::string text = TextFrom(r, 8);
            void* reply = nullptr;
            int32_t length = 0;
            HRESULT hr =
                endpoint_.load()->Call(IntAt(r, 0), 0, kEcho, text.data(),
                                       static_cast<int32_t>(text.size()), &reply, &length, 10000);
            std::vector<uint8_t> out;
            PutInt(out, hr);
            if (hr == S_OK && reply) {
                out.insert(out.end(), static_cast<uint8_t*>(reply),
                           static_cast<uint8_t*>(reply) + length);
                center_->FreeBuffer(reply);
            }
            Store(r, out.data(), out.size());
            break;
        }
        case kBadReply:
            Store(r, "abcd", 4);
            *r->replyLengthOut = 5;
            break;
        case kLiveBuffers: {
            auto live =
                static_cast<int32_t>(static_cast<relayhub::CallCenter*>(center_)->LiveBuffers());
            Store(r, &live, sizeof live);
            break;
        }
        case kRelease:
            center_->ReleaseEndpoint(endpoint_.load());
            Store(r, "bye", 3);
            break;
        default:
            return E_FAIL;
    }
    return S_OK;
}

}  // namespace relayhubtest
