// CPlayEngine: the engine's IPlayerCore. It plays local PCM WAV files on a clock of its own in
// real time (no sound is output) and tells its receiver what happened, from a thread of its
// own, in the order in which it happened. Commands may come from any thread; one lock guards
// the engine's values and is never held while the receiver is called, so a receiver may call
// the engine back from inside a notification.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

#include "engine_play_object.h"
#include "engine_values.h"
#include "player_core.h"

// Results of the commands that can fail; the queries answer values instead.
constexpr int PE_OK = 0;
constexpr int PE_ERR_STATE = 1;     // no item open, or the command does not fit the play state
constexpr int PE_ERR_FILE = 2;      // not a local file, missing, or unreadable
constexpr int PE_ERR_FORMAT = 3;    // readable, but not a PCM WAV file whose header holds together
constexpr int PE_ERR_ARGUMENT = 4;  // a null pointer where one is needed

// The argument of NotifyPlayPause: paused on request.
constexpr int PE_PAUSE_REQUESTED = 1;
// QueryNumber's codes; any other code answers PE_QUERY_UNKNOWN.
constexpr int PE_QUERY_VOLUME = 0;
constexpr int PE_QUERY_STATE = 1;
constexpr int PE_QUERY_POSITION = 2;
constexpr int PE_QUERY_DURATION = 3;
constexpr int PE_QUERY_BUFFER = 4;
constexpr int PE_QUERY_UNKNOWN = -1;

class CPlayEngine final : public IPlayerCore {
public:
    CPlayEngine();
    // Stops the thread like UnInit, so an engine that is unloaded without UnInit leaves nothing
    // running.
    ~CPlayEngine();
    CPlayEngine(const CPlayEngine&) = delete;
    CPlayEngine& operator=(const CPlayEngine&) = delete;

    int Init(IMediaCallback* receiver, int a, int b, int c) override;
    void UnInit() override;
    int Open(PlayRequest* request) override;
    int Play() override;
    int Pause() override;
    int Stop() override;
    int SetPosition(int position) override;
    int SetVolume(int volume) override;
    int SetFlag(BYTE flag) override;
    int SetNumberA(int value) override;
    void SetQuad(PlayQuad* quad) override;
    void SetNumberB(int value) override;
    void SetNumberC(int value) override;
    void SetBlock(PlayBlock* block) override;
    int QueryNumber(int value) override;
    int SetNumberD(int value) override;
    void SetNumberE(int value) override;
    int QueryStatus() override;
    int GetPlayObject(IPlayObject** object) override;

    // Calls read(values, now) under the lock, after the clock has caught up with now.
    template <typename Reader>
    auto Read(Reader&& read) {
        std::lock_guard lock(mu_);
        auto now = PlayClock::Clock::now();
        Settle(now);
        return read(static_cast<const EngineValues&>(values_), now);
    }

private:
    enum class NoteKind {
        PlayStart,
        PlayPause,
        PlayResume,
        PlayStop,
        PlayEnd,
        PlayFail,
        DecoderMissing
    };
    struct Note {
        NoteKind kind;
        int arg;
    };

    // All of these run with mu_ held.
    void Post(NoteKind kind, int arg = 0);
    void Settle(PlayClock::Clock::time_point now);
    void CloseItem();
    // Ends the current thread's run; returns the thread to join, unless it is the calling one.
    std::thread RetireWorker();

    void Run(uint64_t generation);
    static void Deliver(IMediaCallback* receiver, const Note& note);

    std::mutex mu_;
    std::condition_variable wake_;
    EngineValues values_;
    IMediaCallback* receiver_ = nullptr;
    std::deque<Note> notes_;
    // The thread runs while generation_ is the one it was started with.
    uint64_t generation_ = 0;
    bool workerActive_ = false;
    std::thread worker_;
    CEnginePlayObject object_;
};
