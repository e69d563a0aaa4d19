#include "http_fetch.h"

#include <curl/curl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "swarmget.h"

namespace swarmget {

namespace {

// How long one wait for the connection lasts at most: the granularity of the stall limit.
constexpr int kPollMilliseconds = 200;

size_t WriteBody(char* data, size_t size, size_t count, void* self) {
    return static_cast<HttpFetch*>(self)->Write(data, size * count);
}

int Progress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<HttpFetch*>(self)->Cancelled() ? 1 : 0;
}

bool IsSuccess(long status) {
    return status >= 200 && status < 300;
}

// A status that is no success, as a code: itself when it is a redirect or an error status,
// else (a status outside the standard classes) a protocol failure.
int RefusalCode(long status) {
    return status >= 300 && status < 600 ? static_cast<int>(status) : SWARMGET_FAIL_PROTOCOL;
}

// libcurl's result, in the engine's codes.
int Classify(CURLcode result) {
    switch (result) {
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
        case CURLE_COULDNT_CONNECT:
            return SWARMGET_FAIL_CONNECT;
        case CURLE_OPERATION_TIMEDOUT:
            // The only time limit given to libcurl is the connect time limit.
            return SWARMGET_FAIL_CONNECT;
        case CURLE_PARTIAL_FILE:
        case CURLE_RECV_ERROR:
        case CURLE_SEND_ERROR:
        case CURLE_GOT_NOTHING:
            return SWARMGET_FAIL_BROKEN;
        case CURLE_WRITE_ERROR:
            return SWARMGET_FAIL_LOCAL;
        default:
            return SWARMGET_FAIL_PROTOCOL;
    }
}

void Configure(CURL* easy, const std::string& address, const FetchLimits& limits, HttpFetch* self) {
    // The stall limit is Run's own: libcurl's low-speed limit averages over several seconds,
    // so a burst of data would hide a stall behind it.
    curl_easy_setopt(easy, CURLOPT_URL, address.c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(easy, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_USERAGENT, "swarmget/1.0");
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, limits.connectSeconds);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, WriteBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, self);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, Progress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, self);
}

}  // namespace

size_t HttpFetch::Write(const char* data, size_t size) {
    if (Cancelled()) {
        return 0;
    }
    CURL* easy = static_cast<CURL*>(easy_);
    if (!started_) {
        // Only the final answer's body comes here; with redirects followed, that answer may
        // still be a redirect without a target, which is no success.
        long status = 0;
        curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
        if (!IsSuccess(status)) {
            refusedStatus_ = status == 0 ? -1 : status;
            return 0;
        }
        curl_off_t length = -1;
        curl_easy_getinfo(easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
        total_ = length;
        started_ = true;
        events_->OnStarted(total_);
    }
    for (size_t done = 0; done < size;) {
        ssize_t n = ::write(fd_, data + done, size - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            localError_ = true;
            return 0;
        }
        done += static_cast<size_t>(n);
    }
    received_ += static_cast<int64_t>(size);
    events_->OnProgress(received_, total_);
    return size;
}

void HttpFetch::Cancel() {
    std::lock_guard<std::mutex> hold(wakeLock_);
    cancelled_.store(true, std::memory_order_release);
    if (multi_) {
        curl_multi_wakeup(static_cast<CURLM*>(multi_));
    }
}

FetchResult HttpFetch::Run(const std::string& address, int fd, const FetchLimits& limits,
                           FetchEvents& events) {
    fd_ = fd;
    events_ = &events;
    CURL* easy = curl_easy_init();
    CURLM* multi = curl_multi_init();
    if (!easy || !multi) {
        curl_easy_cleanup(easy);
        curl_multi_cleanup(multi);
        return {SWARMGET_FAIL_PROTOCOL, 0, -1};
    }
    easy_ = easy;
    Configure(easy, address, limits, this);
    curl_multi_add_handle(multi, easy);
    {
        std::lock_guard<std::mutex> hold(wakeLock_);
        multi_ = multi;
    }
    // The multi interface lets Cancel wake the wait at once instead of at the next progress
    // call, which may be a second away on a silent connection.
    CURLcode result = CURLE_OK;
    bool done = false;
    bool stalled = false;
    auto lastActivity = std::chrono::steady_clock::now();
    curl_off_t lastBytes = 0;
    while (!done && !Cancelled()) {
        int running = 0;
        if (curl_multi_perform(multi, &running) != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            break;
        }
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
            if (message->msg == CURLMSG_DONE) {
                result = message->data.result;
                done = true;
            }
        }
        if (done) {
            break;
        }
        // A stall is time without a byte of the answer once connected; before that the connect
        // time limit applies.
        auto now = std::chrono::steady_clock::now();
        curl_off_t connected = 0;
        curl_easy_getinfo(easy, CURLINFO_CONNECT_TIME_T, &connected);
        long headerBytes = 0;
        curl_easy_getinfo(easy, CURLINFO_HEADER_SIZE, &headerBytes);
        curl_off_t bytes = received_ + headerBytes;
        if (connected == 0 || bytes != lastBytes) {
            lastBytes = bytes;
            lastActivity = now;
        } else if (now - lastActivity >= std::chrono::seconds(limits.stallSeconds)) {
            stalled = true;
            break;
        }
        if (curl_multi_poll(multi, nullptr, 0, kPollMilliseconds, nullptr) != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            break;
        }
    }
    {
        std::lock_guard<std::mutex> hold(wakeLock_);
        multi_ = nullptr;
    }
    FetchResult end{0, received_, total_};
    if (Cancelled()) {
        end.code = kCancelled;
    } else if (stalled) {
        end.code = SWARMGET_FAIL_STALLED;
    } else if (localError_) {
        end.code = SWARMGET_FAIL_LOCAL;
    } else if (refusedStatus_ != 0) {
        end.code = RefusalCode(refusedStatus_);
    } else if (result == CURLE_HTTP_RETURNED_ERROR) {
        long status = 0;
        curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
        end.code = RefusalCode(status);
    } else if (result != CURLE_OK) {
        end.code = Classify(result);
    } else {
        long status = 0;
        curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
        if (!IsSuccess(status)) {
            end.code = RefusalCode(status);
        } else if (total_ >= 0 && received_ != total_) {
            end.code = SWARMGET_FAIL_BROKEN;
        } else if (!started_) {
            // An empty body: the answer was a success all the same.
            started_ = true;
            events.OnStarted(0);
        }
    }
    curl_multi_remove_handle(multi, easy);
    curl_easy_cleanup(easy);
    curl_multi_cleanup(multi);
    easy_ = nullptr;
    return end;
}

}  // namespace swarmget
