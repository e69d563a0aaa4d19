#include "transfer.h"

#include <cstdlib>

namespace httpmgr {
namespace {

long PositiveNumber(const char* name, long fallback) {
    const char* text = std::getenv(name);
    if (!text || !*text) {
        return fallback;
    }
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    return (*end == '\0' && value > 0) ? value : fallback;
}

}  // namespace

TransferLimits CurrentLimits() {
    return {PositiveNumber("BRHTTP_CONNECT_TIMEOUT_MS", 15000),
            PositiveNumber("BRHTTP_STALL_TIMEOUT_MS", 30000)};
}

Transfer::Transfer(const std::string& url) : curl_(curl_easy_init()), limits_(CurrentLimits()) {
    if (!curl_) {
        return;
    }
    curl_easy_setopt(curl_, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl_, CURLOPT_NOSIGNAL, 1L);  // threads of the library use no signals
    curl_easy_setopt(curl_, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(curl_, CURLOPT_CONNECTTIMEOUT_MS, limits_.connectMs);
    // The stall limit is watched in the progress callback, which libcurl calls at least about
    // once a second even while nothing moves.
    curl_easy_setopt(curl_, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl_, CURLOPT_XFERINFOFUNCTION, &Transfer::OnTransferInfo);
    curl_easy_setopt(curl_, CURLOPT_XFERINFODATA, this);
}

Transfer::~Transfer() {
    if (curl_) {
        curl_easy_cleanup(curl_);
    }
}

void Transfer::SetProgressHook(ProgressHook hook, void* context) {
    hook_ = hook;
    context_ = context;
}

CURLcode Transfer::Perform() {
    if (!curl_) {
        return CURLE_FAILED_INIT;
    }
    lastMove_ = Clock::now();
    return curl_easy_perform(curl_);
}

int Transfer::Error(CURLcode code) const {
    return (stalled_ || code == CURLE_OPERATION_TIMEDOUT) ? CURLE_OPERATION_TIMEDOUT : code;
}

long Transfer::Status() const {
    long status = 0;
    if (curl_) {
        curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &status);
    }
    return status;
}

bool Transfer::Moving(curl_off_t received, curl_off_t sent) {
    Clock::time_point now = Clock::now();
    if (received != received_ || sent != sent_) {
        received_ = received;
        sent_ = sent;
        lastMove_ = now;
    } else if (now - lastMove_ > std::chrono::milliseconds(limits_.stallMs)) {
        stalled_ = true;
    }
    return !stalled_;
}

int Transfer::OnTransferInfo(void* self, curl_off_t dltotal, curl_off_t dlnow, curl_off_t,
                             curl_off_t ulnow) {
    auto* transfer = static_cast<Transfer*>(self);
    if (!transfer->Moving(dlnow, ulnow)) {
        return 1;  // aborts the transfer
    }
    if (transfer->hook_) {
        transfer->hook_(transfer->context_, dltotal, dlnow);
    }
    return 0;
}

}  // namespace httpmgr
