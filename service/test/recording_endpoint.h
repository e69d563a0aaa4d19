// Test support: an endpoint of the call center that records every message it receives and
// answers none, standing in for the proxy's endpoint. It can hold its deliveries, so a test can
// keep a notification's send under way.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "received_log.h"
#include "relayhub.h"

namespace servicetest {

using brtest::Received;

struct CallResult {
    HRESULT result;
    bool replied;  // a reply buffer came back
    std::string reply;
};

class RecordingEndpoint final : public IMessageCallBack {
public:
    // Registers `id` with the call center of this process's runtime root.
    explicit RecordingEndpoint(int id);
    ~RecordingEndpoint();
    RecordingEndpoint(const RecordingEndpoint&) = delete;
    RecordingEndpoint& operator=(const RecordingEndpoint&) = delete;

    bool Registered() const { return endpoint_ != nullptr; }
    std::vector<Received> Messages();
    // False when fewer than `count` messages came within the limit.
    bool WaitForCount(size_t count, std::chrono::milliseconds limit = std::chrono::seconds(5));

    // From now on each delivery waits, after it has been recorded, until Unhold.
    void Hold();
    void Unhold();
    // False when no delivery was waiting within the limit.
    bool WaitUntilHolding(std::chrono::milliseconds limit = std::chrono::seconds(5));

    // A call from this endpoint to `target`, without a time-out; the reply is given back.
    CallResult Call(int target, int channel, const std::string& payload);

    HRESULT QueryInterface(REFIID iid, void** out) override;
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT OnMessage(ICallMessage* message) override;

private:
    ICallCenter* center_ = nullptr;
    ICallEndpoint* endpoint_ = nullptr;
    std::mutex mu_;
    std::condition_variable changed_;
    brtest::ReceivedLog log_;
    bool hold_ = false;
    int holding_ = 0;
};

}  // namespace servicetest
