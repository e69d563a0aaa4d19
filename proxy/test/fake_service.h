// Test support: a fake service. It registers SERVICE_ENDPOINT_ID with the real call center of
// the test's runtime root, records every message the proxy sends it, answers each call as the
// test says (nothing, a reply of any bytes, an empty one), and sends notifications to the
// proxy's endpoint, also from inside its own answer while the proxy waits for it.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "hex_bytes.h"
#include "msg_ids.h"
#include "received_log.h"
#include "relayhub.h"

namespace proxytest {

using Bytes = std::vector<uint8_t>;

// What the fake was sent, as the answers and the tests read it: the payload as a byte vector.
struct Received {
    int channel = 0;
    Bytes payload;
};

// What the fake stores as its reply: nothing (nullopt), or a buffer with these bytes (an
// empty one gives a reply of length 0).
using Answer = std::optional<Bytes>;

class FakeService final : public IMessageCallBack {
public:
    FakeService();
    ~FakeService();
    FakeService(const FakeService&) = delete;
    FakeService& operator=(const FakeService&) = delete;

    // Registers the endpoint (another id stands in for a second process that holds it); false
    // when it could not.
    bool Start(int endpointId = SERVICE_ENDPOINT_ID);
    // Releases the endpoint; calls to the service fail at once from then on.
    void Stop();

    // How every later call is answered; by default nothing is stored.
    void SetAnswer(std::function<Answer(const Received&)> answer);
    // Everything received so far, in arrival order.
    std::vector<Received> Requests();
    // Waits until at least count messages have arrived; false after timeoutMs.
    bool WaitForRequests(size_t count, int timeoutMs = 5000);

    // Calls the proxy's endpoint with a notification and waits until it was delivered. Any
    // thread, including the fake's own, inside an answer.
    HRESULT Notify(int channel, const Bytes& payload);

    HRESULT QueryInterface(REFIID iid, void** out) override;
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT OnMessage(ICallMessage* message) override;

private:
    ICallCenter* center_ = nullptr;
    ICallEndpoint* endpoint_ = nullptr;
    brtest::ReceivedLog log_;  // what it was sent
    std::mutex mutex_;
    std::function<Answer(const Received&)> answer_;
};

// Payloads in the shared notation, as byte vectors.
inline Bytes Ints(std::initializer_list<int> values) {
    return brtest::Ints<Bytes>(values);
}
inline Bytes Cat(std::initializer_list<Bytes> parts) {
    return brtest::Cat<Bytes>(parts);
}
inline Bytes Text(const std::string& text) {
    return brtest::Text<Bytes>(text);
}
Bytes SignBytes(uint32_t first, uint32_t second);

}  // namespace proxytest
