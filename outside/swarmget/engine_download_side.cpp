// The download threads' side of the engine: their file, their events and their end, each
// taken under the engine's lock so that it never races a stop.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "cache_folder.h"
#include "engine.h"
#include "swarmget.h"

namespace swarmget {

int Engine::OpenPart(const std::shared_ptr<Download>& download, bool* failed) {
    std::lock_guard<std::mutex> hold(lock_);
    if (download->halted) {
        return -1;
    }
    size_t slash = download->partPath.rfind('/');
    int fd = -1;
    if (slash != std::string::npos && slash > 0 && MakeDirs(download->partPath.substr(0, slash))) {
        fd = open(download->partPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    }
    *failed = fd < 0;
    return fd;
}

void Engine::Started(const std::shared_ptr<Download>& download, int64_t total) {
    std::lock_guard<std::mutex> hold(lock_);
    if (!download->halted) {
        Report report = MakeReport(*download, 1, ClampToInt(total));
        report.text = download->finalPath;
        Post(std::move(report));
    }
}

void Engine::Progressed(const std::shared_ptr<Download>& download, int64_t received,
                        int64_t total) {
    std::lock_guard<std::mutex> hold(lock_);
    if (!download->halted) {
        Post(MakeReport(*download, 4, ClampToInt(received), ClampToInt(total),
                        total > 0 ? PercentDone(received, total) : -1));
    }
}

void Engine::Finish(const std::shared_ptr<Download>& download, const FetchResult& result) {
    std::lock_guard<std::mutex> hold(lock_);
    download->ended = true;
    if (download->halted) {
        unlink(download->partPath.c_str());
        return;
    }
    int code = result.code;
    if (code == 0 && rename(download->partPath.c_str(), download->finalPath.c_str()) != 0) {
        code = SWARMGET_FAIL_LOCAL;
    }
    if (code == 0) {
        Post(MakeReport(*download, 5));
    } else {
        unlink(download->partPath.c_str());
        Post(MakeReport(*download, 3, code));
    }
    Post(MakeReport(*download, 2));
}

}  // namespace swarmget
