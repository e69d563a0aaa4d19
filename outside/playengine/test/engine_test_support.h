// Test support for the engine's tests: a receiver that records what it hears, the library
// loaded by its file name as the service loads it, and a fixture with an initialised engine.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "play_engine.h"
#include "player_core.h"
#include "test_root.h"

namespace enginetest {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

enum Kind { Start, Pause, Resume, Stop, End, Fail, DecoderMissing, Buffer, Other };

struct Note {
    Kind kind;
    int arg;
    std::thread::id thread;
    Clock::time_point when;
};

// Records every notification. A hook, when set, runs inside the notification before it is
// recorded, on the engine's thread.
class Receiver final : public IMediaCallback {
public:
    void NotifyPlayStart() override { Record(Start); }
    void NotifyPlayPause(int flag) override { Record(Pause, flag); }
    void NotifyPlayResume() override { Record(Resume); }
    void NotifyPlayStop() override { Record(Stop); }
    void NotifyPlayEnd() override { Record(End); }
    void NotifyPlayFail(int code) override { Record(Fail, code); }
    void NotifyPlayStatus(int) override { Record(Other); }
    void NotifyDownloadStart() override { Record(Other); }
    void NotifyDownloadEnd() override { Record(Other); }
    void NotifyDownloadFail(int) override { Record(Other); }
    void NotifySigChange(Sign, Sign, const char*) override { Record(Other); }
    void NotifyPlayerDead() override { Record(Other); }
    void NotifyDecoderMissing() override { Record(DecoderMissing); }
    void NotifySongSwitch() override { Record(Other); }
    void NotifyMvCanSeek() override { Record(Other); }
    void NotifyNetBufferProgress(int percent) override { Record(Buffer, percent); }
    void NotifyMvNeedAd() override { Record(Other); }
    void NotifyMvBlocked() override { Record(Other); }
    void NotifySongStall() override { Record(Other); }

    void SetHook(std::function<void(Kind)> hook);
    std::vector<Note> Notes();
    std::vector<Kind> Kinds();
    // False when fewer than `count` notifications came within the limit.
    bool WaitForCount(size_t count, milliseconds limit = milliseconds(5000));
    // False when no notification of the kind came within the limit.
    bool WaitFor(Kind kind, milliseconds limit = milliseconds(5000));
    // The notifications other than buffering progress.
    std::vector<Kind> PlayKinds();

private:
    void Record(Kind kind, int arg = 0);

    std::mutex mu_;
    std::condition_variable changed_;
    std::function<void(Kind)> hook_;
    std::vector<Note> notes_;
};

template <size_t N>
void Put(char (&field)[N], const std::string& text) {
    std::snprintf(field, N, "%s", text.c_str());
}

// Loads the library by its file name, as the platform layer does for "PlayEngine.dll".
struct LoadedEngine {
    LoadedEngine();
    ~LoadedEngine() { Unload(); }
    LoadedEngine(const LoadedEngine&) = delete;
    LoadedEngine& operator=(const LoadedEngine&) = delete;
    void Unload();

    void* library = nullptr;
    IPlayerCore* core = nullptr;
};

bool LibraryIsLoaded();

// An engine loaded and initialised with receiver_; unloaded after the test.
class PlayEngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a file into the test's folder and gives its path.
    std::string WriteFile(const std::string& name, const std::string& bytes);
    // Opens the item at `location` (the request's itemText1; the rest left clear).
    int Open(const std::string& location);
    std::string Text(void (IPlayObject::*getter)(char*));

    brtest::ScopedTestRoot root_;
    Receiver receiver_;
    LoadedEngine engine_;
    IPlayerCore* core_ = nullptr;
    IPlayObject* object_ = nullptr;
};

}  // namespace enginetest
