#include "download.h"

#include <unistd.h>

#include <climits>

#include "engine.h"
#include "swarmget.h"
#include "windows.h"

namespace swarmget {

namespace {

// How often a running download reports its progress at most.
constexpr std::chrono::milliseconds kProgressInterval(200);

// The transfer's events, passed on to the engine; progress at most every kProgressInterval.
class Relay final : public FetchEvents {
public:
    Relay(Engine& engine, const std::shared_ptr<Download>& download)
        : engine_(engine), download_(download) {}

    void OnStarted(int64_t total) override {
        download_->total.store(total, std::memory_order_relaxed);
        engine_.Started(download_, total);
        last_ = std::chrono::steady_clock::now();
    }

    void OnProgress(int64_t received, int64_t total) override {
        download_->received.store(received, std::memory_order_relaxed);
        auto now = std::chrono::steady_clock::now();
        if (now - last_ >= kProgressInterval) {
            last_ = now;
            engine_.Progressed(download_, received, total);
        }
    }

private:
    Engine& engine_;
    const std::shared_ptr<Download>& download_;
    std::chrono::steady_clock::time_point last_;
};

}  // namespace

Download::Download(uint64_t serial, const Sign& sign, std::string address, P2PObserver* observer,
                   std::string finalPath, std::string partPath, const FetchLimits& limits)
    : serial(serial),
      sign(sign),
      address(std::move(address)),
      observer(observer),
      finalPath(std::move(finalPath)),
      partPath(std::move(partPath)),
      limits(limits) {}

void RunDownload(Engine& engine, std::shared_ptr<Download> download) {
    PalEnsureCrashStack();  // a stack overflow here still reaches the exception filter
    FetchResult result{HttpFetch::kCancelled, 0, -1};
    bool failed = false;
    int fd = engine.OpenPart(download, &failed);
    if (fd >= 0) {
        Relay relay(engine, download);
        result = download->fetch.Run(download->address, fd, download->limits, relay);
        // The data must be on disk before the rename makes it the complete file.
        if (result.code == 0 && fsync(fd) != 0) {
            result.code = SWARMGET_FAIL_LOCAL;
        }
        if (close(fd) != 0 && result.code == 0) {
            result.code = SWARMGET_FAIL_LOCAL;
        }
    } else if (failed) {
        result.code = SWARMGET_FAIL_LOCAL;
    }
    engine.Finish(download, result);
}

int PercentDone(int64_t received, int64_t total) {
    if (total <= 0 || received <= 0) {
        return 0;
    }
    int64_t percent = received >= total ? 99 : received * 100 / total;
    return static_cast<int>(percent > 99 ? 99 : percent);
}

int ClampToInt(int64_t value) {
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

}  // namespace swarmget
