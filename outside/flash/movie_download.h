// Fetching a movie given as an http or https address, with libcurl, within time limits.
#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "movie_fetch.h"

namespace flash {

// Limits of a download: connecting, a transfer that moves less than a byte a second, and the
// whole download.
inline constexpr long kConnectLimitMs = 5000;
inline constexpr long kStallLimitSeconds = 10;
inline constexpr long kDownloadLimitMs = 60000;

// True for an "http://" or "https://" address (the scheme in any case).
bool IsWebAddress(const std::string& source);

// Downloads the movie, following up to five redirects within http and https, reporting the
// percentage received while the size is known. A status of 400 or more, a body larger than
// kMaxMovieBytes, a time limit or *cancel ends it with an error.
FetchResult DownloadMovie(const std::string& url, const std::function<void(int)>& progress,
                          const std::atomic<bool>& cancel);

}  // namespace flash
