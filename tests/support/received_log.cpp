#include "received_log.h"

#include "hex_bytes.h"

namespace brtest {

void PrintTo(const Received& received, std::ostream* out) {
    *out << "channel " << received.channel << ": " << Hex(received.bytes);
}

void ReceivedLog::Add(int channel, const void* payload, int32_t length) {
    Received received;
    received.channel = channel;
    if (payload && length > 0) {
        received.bytes.assign(static_cast<const char*>(payload), static_cast<size_t>(length));
    }
    {
        std::lock_guard<std::mutex> guard(mutex_);
        log_.push_back(std::move(received));
    }
    arrived_.notify_all();
}

std::vector<Received> ReceivedLog::All() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return log_;
}

size_t ReceivedLog::Count() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return log_.size();
}

bool ReceivedLog::WaitForCount(size_t count, std::chrono::milliseconds limit) const {
    return WaitFor([count](const std::vector<Received>& log) { return log.size() >= count; },
                   limit);
}

bool ReceivedLog::WaitFor(const std::function<bool(const std::vector<Received>&)>& done,
                          std::chrono::milliseconds limit) const {
    std::unique_lock<std::mutex> guard(mutex_);
    return arrived_.wait_for(guard, limit, [&] { return done(log_); });
}

}  // namespace brtest
