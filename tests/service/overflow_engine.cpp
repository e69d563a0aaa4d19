// A player engine for the service's crash tests, put beside a copy of the program as its
// libPlayEngine.so. It wraps the real engine that BRTEST_REAL_ENGINE names and overflows the
// stack where BRTEST_OVERFLOW_ON says:
//   "delivery"  inside Play, on the thread that runs the program's command (the call center's)
//   "engine"    inside the real engine's NotifyPlayStart, on the engine's own thread
// Everything else goes to the real engine and its notifications to the program.
#include <dlfcn.h>

#include <cstdlib>
#include <cstring>

#include "idle_player_core.h"

namespace {

volatile int g_deeper = 1;

__attribute__((noinline)) int Recurse(int depth) {
    volatile char frame[1024];
    frame[0] = static_cast<char>(depth);
    if (g_deeper > 0) {
        return Recurse(depth + 1) + frame[0];
    }
    return frame[0];
}

bool OverflowOn(const char* place) {
    const char* chosen = std::getenv("BRTEST_OVERFLOW_ON");
    return chosen && std::strcmp(chosen, place) == 0;
}

// The program's receiver, behind one that overflows on the first start of play.
class OverflowReceiver final : public IMediaCallback {
public:
    IMediaCallback* inner = nullptr;

    void NotifyPlayStart() override {
        if (OverflowOn("engine")) {
            Recurse(0);
        }
        inner->NotifyPlayStart();
    }
    void NotifyPlayPause(int flag) override { inner->NotifyPlayPause(flag); }
    void NotifyPlayResume() override { inner->NotifyPlayResume(); }
    void NotifyPlayStop() override { inner->NotifyPlayStop(); }
    void NotifyPlayEnd() override { inner->NotifyPlayEnd(); }
    void NotifyPlayFail(int code) override { inner->NotifyPlayFail(code); }
    void NotifyPlayStatus(int status) override { inner->NotifyPlayStatus(status); }
    void NotifyDownloadStart() override { inner->NotifyDownloadStart(); }
    void NotifyDownloadEnd() override { inner->NotifyDownloadEnd(); }
    void NotifyDownloadFail(int code) override { inner->NotifyDownloadFail(code); }
    void NotifySigChange(Sign first, Sign second, const char* text) override {
        inner->NotifySigChange(first, second, text);
    }
    void NotifyPlayerDead() override { inner->NotifyPlayerDead(); }
    void NotifyDecoderMissing() override { inner->NotifyDecoderMissing(); }
    void NotifySongSwitch() override { inner->NotifySongSwitch(); }
    void NotifyMvCanSeek() override { inner->NotifyMvCanSeek(); }
    void NotifyNetBufferProgress(int progress) override {
        inner->NotifyNetBufferProgress(progress);
    }
    void NotifyMvNeedAd() override { inner->NotifyMvNeedAd(); }
    void NotifyMvBlocked() override { inner->NotifyMvBlocked(); }
    void NotifySongStall() override { inner->NotifySongStall(); }
};

class OverflowCore final : public brtest::IdlePlayerCore {
public:
    int Init(IMediaCallback* receiver, int a, int b, int c) override {
        const char* path = std::getenv("BRTEST_REAL_ENGINE");
        void* library = path ? dlopen(path, RTLD_NOW | RTLD_LOCAL) : nullptr;
        auto get = library ? reinterpret_cast<IPlayerCore* (*)()>(dlsym(library, "GetPlayerCore"))
                           : nullptr;
        real_ = get ? get() : nullptr;
        if (!real_) {
            return 1;
        }
        receiver_.inner = receiver;
        return real_->Init(&receiver_, a, b, c);
    }
    void UnInit() override {
        if (real_) {
            real_->UnInit();
        }
    }
    int Open(PlayRequest* request) override { return real_ ? real_->Open(request) : 1; }
    int Play() override {
        if (OverflowOn("delivery")) {
            Recurse(0);
        }
        return real_ ? real_->Play() : 1;
    }
    int Stop() override { return real_ ? real_->Stop() : 1; }

private:
    IPlayerCore* real_ = nullptr;
    OverflowReceiver receiver_;
};

OverflowCore g_core;

}  // namespace

extern "C" __attribute__((visibility("default"))) IPlayerCore* GetPlayerCore() {
    return &g_core;
}
