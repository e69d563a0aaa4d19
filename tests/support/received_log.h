// Test support: what a recording endpoint of a test received, in arrival order. The call
// center's threads add to it while the test reads it and waits on it, so every member locks.
// The fakes that stand in for an endpoint (the service's and the proxy's, the message center's
// and the call center's peers) keep their record here.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

namespace brtest {

struct Received {
    int channel = 0;
    std::string bytes;
    bool operator==(const Received&) const = default;
};
// For test failure messages: "channel 2: 01 00 00 00 ...".
void PrintTo(const Received& received, std::ostream* out);

class ReceivedLog {
public:
    // A message as the call center delivers it: a null payload or a length below 1 records no
    // bytes.
    void Add(int channel, const void* payload, int32_t length);

    std::vector<Received> All() const;
    size_t Count() const;
    // Waits until at least count messages have arrived; false when the limit passed first.
    bool WaitForCount(size_t count, std::chrono::milliseconds limit) const;
    // Waits until the messages so far satisfy done; false when the limit passed first.
    bool WaitFor(const std::function<bool(const std::vector<Received>&)>& done,
                 std::chrono::milliseconds limit) const;

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    std::vector<Received> log_;
};

}  // namespace brtest
