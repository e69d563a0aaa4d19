// One HTTP or HTTPS transfer into an open file, on the calling thread, with libcurl: redirects
// followed, a connect time limit and a stall limit, and a cancel that any thread may call and
// that ends the transfer at once.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

namespace swarmget {

struct FetchLimits {
    long connectSeconds;  // the whole connect, TLS included
    long stallSeconds;    // ends a transfer that receives no byte for this long
};

// What a transfer reports while it runs, on the transfer's own thread.
class FetchEvents {
public:
    // The server accepted the request and the body begins; total is -1 when unknown.
    virtual void OnStarted(int64_t total) = 0;
    // Bytes received so far; called often, the receiver decides what to pass on.
    virtual void OnProgress(int64_t received, int64_t total) = 0;

protected:
    ~FetchEvents() = default;
};

// The end of a transfer: 0 when the whole body is in the file, else a SWARMGET_FAIL_* code or
// an HTTP status (300-599); kCancelled when Cancel ended it.
struct FetchResult {
    int code;
    int64_t received;
    int64_t total;
};

class HttpFetch {
public:
    static constexpr int kCancelled = -1;

    // Downloads `address` into the file `fd` (written from its current position).
    FetchResult Run(const std::string& address, int fd, const FetchLimits& limits,
                    FetchEvents& events);
    // Ends a running transfer as soon as its thread notices, or the next one before it starts.
    void Cancel();

    // Called from libcurl's callbacks.
    size_t Write(const char* data, size_t size);
    bool Cancelled() const { return cancelled_.load(std::memory_order_acquire); }

private:
    std::atomic<bool> cancelled_{false};
    std::mutex wakeLock_;    // guards multi_ against a Cancel from another thread
    void* multi_ = nullptr;  // the CURLM, set while Run drives the transfer
    // Used only on the transfer's thread.
    void* easy_ = nullptr;  // the CURL handle
    int fd_ = -1;
    FetchEvents* events_ = nullptr;
    bool started_ = false;
    bool localError_ = false;
    long refusedStatus_ = 0;
    int64_t received_ = 0;
    int64_t total_ = -1;
};

}  // namespace swarmget
