// The engine's life (start, stop, reaping threads) and its commands.
#include "engine.h"

#include <curl/curl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "cache_folder.h"
#include "download.h"
#include "swarmget.h"

namespace swarmget {

namespace {

constexpr long kDefaultConnectSeconds = 15;
constexpr long kDefaultStallSeconds = 30;

long SecondsFromEnvironment(const char* name, long fallback) {
    const char* text = std::getenv(name);
    if (!text || !*text) {
        return fallback;
    }
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    return (*end == '\0' && value > 0) ? value : fallback;
}

bool IsHttpAddress(const std::string& address) {
    return strncasecmp(address.c_str(), "http://", 7) == 0 ||
           strncasecmp(address.c_str(), "https://", 8) == 0;
}

}  // namespace

Engine& Engine::Instance() {
    static Engine* engine = new Engine;
    return *engine;
}

void Engine::Start() {
    static std::once_flag curlReady;
    std::call_once(curlReady, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    std::lock_guard<std::mutex> hold(lock_);
    if (started_) {
        return;
    }
    started_ = true;
    notifier_ = std::thread(&Engine::RunNotifier, this, ++generation_);
    notifierId_ = notifier_.get_id();
}

void Engine::Stop() {
    std::vector<std::shared_ptr<Download>> downloads;
    std::thread notifier;
    {
        std::lock_guard<std::mutex> hold(lock_);
        started_ = false;
        ++generation_;
        queue_.clear();
        for (const auto& download : downloads_) {
            if (!download->ended && !download->halted) {
                Halt(*download);
            }
        }
        downloads.swap(downloads_);
        notifier = std::move(notifier_);
        notifierId_ = std::thread::id();
        if (notifier.get_id() == std::this_thread::get_id()) {
            // Called from inside an observer call: that call is the caller's own and ends
            // when it returns; nobody needs to wait for it.
            inCall_ = false;
            called_.notify_all();
        }
        queued_.notify_all();
    }
    if (notifier.joinable()) {
        if (notifier.get_id() == std::this_thread::get_id()) {
            notifier.detach();
        } else {
            notifier.join();
        }
    }
    for (const auto& download : downloads) {
        if (download->thread.joinable()) {
            download->thread.join();
        }
    }
}

void Engine::SetCacheDir(const std::string& dir) {
    std::lock_guard<std::mutex> hold(lock_);
    cacheDir_ = dir;
}

bool Engine::StartDown(const Sign& sign, const std::string& address, P2PObserver* observer) {
    if (!IsHttpAddress(address)) {
        return false;
    }
    Reap();
    std::lock_guard<std::mutex> hold(lock_);
    if (!started_) {
        return false;
    }
    if (std::shared_ptr<Download> running = Running(sign)) {
        return running->address == address;
    }
    std::string dir = ResolveCacheDir(cacheDir_);
    if (dir.empty()) {
        return false;
    }
    FetchLimits limits{SecondsFromEnvironment("SWARMGET_CONNECT_SECONDS", kDefaultConnectSeconds),
                       SecondsFromEnvironment("SWARMGET_STALL_SECONDS", kDefaultStallSeconds)};
    ++serial_;
    auto download =
        std::make_shared<Download>(serial_, sign, address, observer, FinalPath(dir, sign),
                                   PartPath(dir, sign, serial_), limits);
    try {
        download->thread = std::thread(RunDownload, std::ref(*this), download);
    } catch (const std::system_error&) {
        return false;
    }
    downloads_.push_back(std::move(download));
    return true;
}

void Engine::StopDown(const Sign& sign) {
    std::unique_lock<std::mutex> hold(lock_);
    for (const auto& download : downloads_) {
        if (download->sign == sign && !download->ended && !download->halted) {
            Halt(*download);
        }
    }
    std::erase_if(queue_, [&](const Report& report) { return report.sign == sign; });
    if (std::this_thread::get_id() != notifierId_) {
        called_.wait(hold, [&] { return !(inCall_ && callSign_ == sign); });
    }
}

void Engine::DelRes(const Sign& sign, P2PObserver* observer) {
    std::lock_guard<std::mutex> hold(lock_);
    std::vector<std::string> files;
    std::string dir = ResolveCacheDir(cacheDir_);
    if (!dir.empty()) {
        files.push_back(FinalPath(dir, sign));
    }
    for (const auto& download : downloads_) {
        if (download->sign == sign) {
            if (!download->ended && !download->halted) {
                Halt(*download);
            }
            files.push_back(download->finalPath);
        }
    }
    for (const std::string& file : files) {
        unlink(file.c_str());
    }
    // The proxy keeps the observer of a DelRes registered until slot 2 tells it to forget.
    if (observer && started_) {
        Post(Report{0, observer, sign, 2, std::string(), {0, 0, 0}});
    }
}

void Engine::GetResInfo(const Sign& sign, int* value, std::string* text) {
    int percent = -1;
    std::string path;
    {
        std::lock_guard<std::mutex> hold(lock_);
        if (std::shared_ptr<Download> running = Running(sign)) {
            percent = PercentDone(running->received.load(std::memory_order_relaxed),
                                  running->total.load(std::memory_order_relaxed));
            path = running->finalPath;
        } else if (std::string dir = ResolveCacheDir(cacheDir_); !dir.empty()) {
            path = FinalPath(dir, sign);
        }
    }
    struct stat st;
    if (percent < 0) {
        if (!path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
            percent = 100;
        } else {
            path.clear();
        }
    }
    if (value) {
        *value = percent;
    }
    if (text) {
        *text = path;
    }
}

void Engine::StopAll() {
    std::lock_guard<std::mutex> hold(lock_);
    for (const auto& download : downloads_) {
        if (!download->ended && !download->halted) {
            Halt(*download);
            Post(MakeReport(*download, 2));
        }
    }
}

std::shared_ptr<Download> Engine::Running(const Sign& sign) const {
    for (const auto& download : downloads_) {
        if (download->sign == sign && !download->ended && !download->halted) {
            return download;
        }
    }
    return nullptr;
}

void Engine::Halt(Download& download) {
    download.halted = true;
    download.fetch.Cancel();
    unlink(download.partPath.c_str());
}

void Engine::Reap() {
    std::vector<std::shared_ptr<Download>> ended;
    {
        std::lock_guard<std::mutex> hold(lock_);
        auto first = std::stable_partition(downloads_.begin(), downloads_.end(),
                                           [](const auto& download) { return !download->ended; });
        ended.assign(std::make_move_iterator(first), std::make_move_iterator(downloads_.end()));
        downloads_.erase(first, downloads_.end());
    }
    for (const auto& download : ended) {
        download->thread.join();
    }
}

}  // namespace swarmget
