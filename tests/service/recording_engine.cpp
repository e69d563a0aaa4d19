// A player engine for the service's end-to-end tests, put beside a copy of the program as its
// libPlayEngine.so. It plays nothing: it appends a line for Init, Stop, UnInit and its own
// unloading to the file that BRTEST_ENGINE_LOG names, so a test sees when the program calls
// them. At Init and UnInit it also counts the files that match each pattern of
// BRTEST_ENGINE_PROBES (patterns separated by '|'), so a test sees what existed at that moment
// (the service's endpoint socket, partial downloads).
//
// Notifications: Play raises NotifyPlayStart, which must reach the test's endpoint; Init raises
// NotifyDownloadStart and UnInit NotifyDownloadEnd, which the program must drop (its message
// center does not exist yet, or no longer).
#include <fcntl.h>
#include <glob.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "idle_player_core.h"

namespace {

long long MonotonicMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// One whole line per write, appended, so lines of several calls never mix.
void Log(const std::string& text) {
    const char* path = std::getenv("BRTEST_ENGINE_LOG");
    if (!path) {
        return;
    }
    int fd = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) {
        return;
    }
    std::string line = text + " " + std::to_string(MonotonicMs()) + "\n";
    ssize_t written = write(fd, line.data(), line.size());
    (void)written;
    close(fd);
}

// " <count>" for each pattern of BRTEST_ENGINE_PROBES.
std::string Probes() {
    const char* list = std::getenv("BRTEST_ENGINE_PROBES");
    std::string counts;
    std::string patterns = list ? list : "";
    size_t begin = 0;
    while (!patterns.empty() && begin <= patterns.size()) {
        size_t end = patterns.find('|', begin);
        if (end == std::string::npos) {
            end = patterns.size();
        }
        std::string pattern = patterns.substr(begin, end - begin);
        glob_t found{};
        size_t count = glob(pattern.c_str(), 0, nullptr, &found) == 0 ? found.gl_pathc : 0;
        globfree(&found);
        counts += " " + std::to_string(count);
        begin = end + 1;
    }
    return counts;
}

class RecordingCore final : public brtest::IdlePlayerCore {
public:
    int Init(IMediaCallback* receiver, int, int, int) override {
        receiver_ = receiver;
        Log("Init" + Probes());
        if (receiver_) {
            receiver_->NotifyDownloadStart();
        }
        return 0;
    }
    void UnInit() override {
        Log("UnInit" + Probes());
        if (receiver_) {
            receiver_->NotifyDownloadEnd();
        }
        receiver_ = nullptr;
    }
    int Play() override {
        if (receiver_) {
            receiver_->NotifyPlayStart();
        }
        return 0;
    }
    int Stop() override {
        Log("Stop");
        return 0;
    }

private:
    // Written by Init and UnInit on the program's main thread, read by Play on the call
    // center's thread while the program runs between the two.
    IMediaCallback* receiver_ = nullptr;
};

RecordingCore g_core;

__attribute__((destructor)) void Unloaded() {
    Log("unloaded");
}

}  // namespace

extern "C" __attribute__((visibility("default"))) IPlayerCore* GetPlayerCore() {
    return &g_core;
}
