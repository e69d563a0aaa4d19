// CPlayEngine: the engine's IPlayerCore. It plays local files and http streams through a
// GStreamer pipeline (ItemPipeline) into the chosen output (AudioOutput) and tells its receiver
// what happened, from a thread of its own, in the order in which it happened. Commands may come
// from any thread; one lock guards the engine's values and is never held while the receiver is
// called, so a receiver may call the engine back from inside a notification. The pipeline's
// threads never take that lock, so the engine may drive the pipeline while holding it.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "doorbell.h"
#include "engine_play_object.h"
#include "engine_values.h"
#include "item_pipeline.h"
#include "player_core.h"

// Results of the commands that can fail; the queries answer values instead.
constexpr int PE_OK = 0;
constexpr int PE_ERR_STATE = 1;     // no item open, or the command does not fit the play state
constexpr int PE_ERR_FILE = 2;      // not a local file or stream, missing, unreadable, or failed
constexpr int PE_ERR_FORMAT = 3;    // read, but not a format that the installation decodes
constexpr int PE_ERR_ARGUMENT = 4;  // a null pointer where one is needed
constexpr int PE_ERR_OUTPUT = 5;    // the audio output cannot play

// The argument of NotifyPlayPause: paused on request.
constexpr int PE_PAUSE_REQUESTED = 1;
// QueryNumber's codes; any other code answers PE_QUERY_UNKNOWN.
constexpr int PE_QUERY_VOLUME = 0;
constexpr int PE_QUERY_STATE = 1;
constexpr int PE_QUERY_POSITION = 2;
constexpr int PE_QUERY_DURATION = 3;
constexpr int PE_QUERY_BUFFER = 4;
constexpr int PE_QUERY_UNKNOWN = -1;

// How long opening an item (or starting it again after a stop) may take to reach its first
// sound: a local file takes milliseconds, a stream has to connect and fetch its first data.
constexpr std::chrono::milliseconds PE_PREROLL_LIMIT(10000);

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

    // Calls read(values) under the lock, after the position has been brought up to date.
    template <typename Reader>
    auto Read(Reader&& read) {
        std::lock_guard lock(mu_);
        RefreshPosition();
        return read(static_cast<const EngineValues&>(values_));
    }

private:
    enum class NoteKind {
        PlayStart,
        PlayPause,
        PlayResume,
        PlayStop,
        PlayEnd,
        PlayFail,
        DecoderMissing,
        NetBufferProgress,
    };
    struct Note {
        NoteKind kind;
        int arg;
    };
    struct Opened {
        std::unique_ptr<ItemPipeline> pipeline;
        int result;
    };

    // Builds and prerolls a pipeline for the item into the chosen output; on an output that
    // cannot play, with `probe`, falls back to a pipeline that only learns what the item is.
    // Runs without the lock.
    Opened OpenPipeline(const EngineItem& item, int volume, bool probe);
    Opened BuildPipeline(const EngineItem& item, const AudioOutput& output, int volume);
    static int ResultOf(PipeFailure failure);
    static void TakeFormat(EngineItem& item, const ItemPipeline& pipeline, const WavInfo* wav);

    // All of these run with mu_ held.
    void Post(NoteKind kind, int arg = 0);
    void RefreshPosition();
    void CloseItem();
    int FailItem(int result);
    void EndItem();
    int StartStanding();
    void Seek(int positionMs);
    void GoPlaying();
    void HandlePipelineEvents();
    // Ends the current thread's run; returns the thread to join, unless it is the calling one.
    std::thread RetireWorker();

    void Run(uint64_t generation);
    static void Deliver(IMediaCallback* receiver, const Note& note);

    std::mutex mu_;
    Doorbell bell_;
    EngineValues values_;
    std::unique_ptr<ItemPipeline> pipeline_;
    // The pipeline has read the item up to its first sound and stands at its start.
    bool prerolled_ = false;
    // Counts opens and UnInits: an open that finds it changed after its unlocked preroll lost
    // its item to the newer command.
    uint64_t openGeneration_ = 0;
    int bufferNotified_ = -1;
    IMediaCallback* receiver_ = nullptr;
    std::deque<Note> notes_;
    // The thread runs while generation_ is the one it was started with.
    uint64_t generation_ = 0;
    bool workerActive_ = false;
    std::thread worker_;
    CEnginePlayObject object_;
};
