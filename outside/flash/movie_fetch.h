// Fetching a movie's text from a file or an http or https address (movie_download.h), on a
// thread of its own, reporting its progress. The
// callbacks run on that thread; the control's window turns them into events on its own thread.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace flash {

struct FetchResult {
    bool ok = false;
    std::string text;   // the movie's bytes
    std::string error;  // why there are none
};

// Reads the whole file, calling progress with the percentage read so far (rising, up to 100)
// and stopping with an error when *cancel is set. Files larger than kMaxMovieBytes fail.
FetchResult ReadMovieSource(const std::string& path, const std::function<void(int)>& progress,
                            const std::atomic<bool>& cancel);

class MovieFetch {
public:
    MovieFetch(std::string source, std::function<void(int)> progress,
               std::function<void(FetchResult)> done);
    // Cancels the fetch and waits for its thread; the callbacks are not called after.
    ~MovieFetch();
    MovieFetch(const MovieFetch&) = delete;
    MovieFetch& operator=(const MovieFetch&) = delete;

private:
    std::atomic<bool> cancel_{false};
    std::thread thread_;
};

}  // namespace flash
