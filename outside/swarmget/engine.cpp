#include "engine.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <strings.h>

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

void Call(const Report& report) {
    P2PObserver* observer = report.observer;
    switch (report.slot) {
        case 1:
            observer->OnP2PNotify1(report.sign, report.text.c_str(), report.values[0]);
            break;
        case 2:
            observer->OnP2PNotify2(report.sign);
            break;
        case 3:
            observer->OnP2PNotify3(report.sign, report.values[0]);
            break;
        case 4:
            observer->OnP2PNotify4(report.sign, report.values[0], report.values[1],
                                   report.values[2]);
            break;
        case 5:
            observer->OnP2PNotify5(report.sign);
            break;
    }
}

Report MakeReport(const Download& download, int slot, int value0 = 0, int value1 = 0,
                  int value2 = 0) {
    return Report{download.serial, download.observer, download.sign, slot, std::string(),
                  {value0, value1, value2}};
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
    FetchLimits limits{SecondsFromEnvironment("SWARMGET_CONNECT_SECONDS", kDefaultConnectSeconds),
                       SecondsFromEnvironment("SWARMGET_STALL_SECONDS", kDefaultStallSeconds)};
    ++serial_;
    auto download = std::make_shared<Download>(serial_, sign, address, observer,
                                               FinalPath(dir, sign), PartPath(dir, sign, serial_),
                                               limits);
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
    std::vector<std::string> files = {FinalPath(ResolveCacheDir(cacheDir_), sign)};
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
        } else {
            path = FinalPath(ResolveCacheDir(cacheDir_), sign);
        }
    }
    struct stat st;
    if (percent < 0) {
        if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
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

int Engine::OpenPart(const std::shared_ptr<Download>& download, bool* failed) {
    std::lock_guard<std::mutex> hold(lock_);
    if (download->halted) {
        return -1;
    }
    size_t slash = download->partPath.rfind('/');
    int fd = -1;
    if (slash != std::string::npos && slash > 0 &&
        MakeDirs(download->partPath.substr(0, slash))) {
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

void Engine::Post(Report report) {
    if (!started_) {
        return;
    }
    if (report.slot == 4 && report.source != 0) {
        // A progress report still waiting is replaced by the newer one, so a slow observer
        // sees fewer reports instead of a growing queue.
        for (auto it = queue_.rbegin(); it != queue_.rend(); ++it) {
            if (it->source == report.source) {
                if (it->slot == 4) {
                    *it = std::move(report);
                    return;
                }
                break;
            }
        }
    }
    queue_.push_back(std::move(report));
    queued_.notify_one();
}

void Engine::RunNotifier(uint64_t generation) {
    std::unique_lock<std::mutex> hold(lock_);
    for (;;) {
        queued_.wait(hold, [&] { return generation_ != generation || !queue_.empty(); });
        if (generation_ != generation) {
            return;
        }
        Report report = std::move(queue_.front());
        queue_.pop_front();
        if (!report.observer) {
            continue;
        }
        inCall_ = true;
        callSign_ = report.sign;
        callGeneration_ = generation;
        hold.unlock();
        Call(report);
        hold.lock();
        // A Stop from inside the call may have let a new notifier begin its own calls.
        if (inCall_ && callGeneration_ == generation) {
            inCall_ = false;
            called_.notify_all();
        }
    }
}

}  // namespace swarmget
