// One libcurl transfer with the time limits every transfer of the library gets, so that a dead
// or silent server ends in a failure, never in a wait without end.
#pragma once

#include <curl/curl.h>

#include <chrono>
#include <string>

namespace httpmgr {

struct TransferLimits {
    long connectMs;  // from the start of the request until the connection stands
    long stallMs;    // longest time without a byte sent or received, the wait for the reply too
};

// The limits in force: $BRHTTP_CONNECT_TIMEOUT_MS (default 15000) and $BRHTTP_STALL_TIMEOUT_MS
// (default 30000), read at every request; a value that is not a positive number is ignored.
TransferLimits CurrentLimits();

// Called from the transfer's progress checks with the expected size (0 when unknown) and the
// bytes received so far.
using ProgressHook = void (*)(void* context, curl_off_t total, curl_off_t received);

class Transfer {
public:
    explicit Transfer(const std::string& url);
    ~Transfer();
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;

    // NULL when libcurl could not make a handle; the options of the request go on it.
    CURL* Handle() const { return curl_; }
    void SetProgressHook(ProgressHook hook, void* context);
    // Runs the transfer to its end; CURLE_OK when a whole reply came back, whatever its status.
    CURLcode Perform();
    // The error number of a failed transfer: the stall and the connect limit both give
    // CURLE_OPERATION_TIMEDOUT.
    int Error(CURLcode code) const;
    // The reply's HTTP status; 0 before or without one.
    long Status() const;

private:
    static int OnTransferInfo(void* self, curl_off_t dltotal, curl_off_t dlnow, curl_off_t,
                              curl_off_t ulnow);
    bool Moving(curl_off_t received, curl_off_t sent);

    using Clock = std::chrono::steady_clock;
    CURL* curl_;
    TransferLimits limits_;
    Clock::time_point lastMove_;
    curl_off_t received_ = 0;
    curl_off_t sent_ = 0;
    bool stalled_ = false;
    ProgressHook hook_ = nullptr;
    void* context_ = nullptr;
};

}  // namespace httpmgr
