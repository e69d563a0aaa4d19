#include "movie_fetch.h"

#include <algorithm>
#include <fstream>

#include "movie.h"
#include "movie_download.h"

namespace flash {

FetchResult ReadMovieSource(const std::string& path, const std::function<void(int)>& progress,
                            const std::atomic<bool>& cancel) {
    FetchResult result;
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) {
        result.error = "cannot open " + path;
        return result;
    }
    const std::streamoff size = in.tellg();
    in.seekg(0);
    if (size < 0 || size_t(size) > kMaxMovieBytes) {
        result.error = "the movie is larger than 1 MiB";
        return result;
    }
    char buffer[8192];
    int reported = -1;
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        if (cancel) {
            result.error = "cancelled";
            return result;
        }
        result.text.append(buffer, size_t(in.gcount()));
        if (result.text.size() > kMaxMovieBytes) {  // the file grew while it was read
            result.error = "the movie is larger than 1 MiB";
            result.text.clear();
            return result;
        }
        int percent = size == 0
                          ? 100
                          : int(std::min<uint64_t>(100, result.text.size() * 100 / uint64_t(size)));
        if (percent > reported && progress) {
            reported = percent;
            progress(percent);
        }
    }
    if (in.bad()) {
        result.error = "cannot read " + path;
        result.text.clear();
        return result;
    }
    if (reported < 100 && progress)
        progress(100);
    result.ok = true;
    return result;
}

MovieFetch::MovieFetch(std::string source, std::function<void(int)> progress,
                       std::function<void(FetchResult)> done) {
    thread_ = std::thread(
        [this, source = std::move(source), progress = std::move(progress), done = std::move(done)] {
            FetchResult result = IsWebAddress(source) ? DownloadMovie(source, progress, cancel_)
                                                      : ReadMovieSource(source, progress, cancel_);
            if (!cancel_)
                done(std::move(result));
        });
}

MovieFetch::~MovieFetch() {
    cancel_ = true;
    if (thread_.joinable())
        thread_.join();
}

}  // namespace flash
