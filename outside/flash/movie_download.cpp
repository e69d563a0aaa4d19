#include "movie_download.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>

#include "movie.h"

namespace flash {
namespace {

struct Download {
    const std::function<void(int)>* progress;
    const std::atomic<bool>* cancel;
    std::string body;
    bool tooLarge = false;
    int reported = -1;
};

size_t OnBody(char* data, size_t size, size_t count, void* user) {
    auto* d = static_cast<Download*>(user);
    if (d->body.size() + size * count > kMaxMovieBytes) {
        d->tooLarge = true;
        return 0;  // ends the transfer
    }
    d->body.append(data, size * count);
    return size * count;
}

int OnProgress(void* user, curl_off_t total, curl_off_t now, curl_off_t, curl_off_t) {
    auto* d = static_cast<Download*>(user);
    if (*d->cancel)
        return 1;
    if (total > 0 && *d->progress) {
        int percent = int(std::min<curl_off_t>(99, now * 100 / total));  // 100 once it ends
        if (percent > d->reported) {
            d->reported = percent;
            (*d->progress)(percent);
        }
    }
    return 0;
}

}  // namespace

bool IsWebAddress(const std::string& source) {
    std::string lower = source.substr(0, 8);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return lower.rfind("http://", 0) == 0 || lower.rfind("https://", 0) == 0;
}

FetchResult DownloadMovie(const std::string& url, const std::function<void(int)>& progress,
                          const std::atomic<bool>& cancel) {
    FetchResult result;
    CURL* curl = curl_easy_init();
    if (curl == nullptr) {
        result.error = "cannot start a download";
        return result;
    }
    Download d{&progress, &cancel, {}};
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, kConnectLimitMs);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, kStallLimitSeconds);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, kDownloadLimitMs);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &OnBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &d);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &OnProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &d);
    CURLcode code = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_cleanup(curl);
    if (d.tooLarge) {
        result.error = "the movie is larger than 1 MiB";
    } else if (code == CURLE_ABORTED_BY_CALLBACK) {
        result.error = "cancelled";
    } else if (code != CURLE_OK) {
        result.error = "cannot download " + url + ": " + curl_easy_strerror(code);
    } else if (status >= 400) {
        result.error = "cannot download " + url + ": HTTP status " + std::to_string(status);
    } else {
        if (progress)
            progress(100);
        result.ok = true;
        result.text = std::move(d.body);
    }
    return result;
}

}  // namespace flash
