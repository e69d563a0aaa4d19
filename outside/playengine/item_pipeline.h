// ItemPipeline: the GStreamer pipeline that plays one item (a local file or an http stream) into
// one output. What the pipeline reports comes in on its streaming threads and is kept as events
// for the engine's thread, which the pipeline wakes through the engine's doorbell; the only lock
// taken there is the pipeline's own, never held while GStreamer is called, so the engine may
// call the pipeline with its own lock held.
#pragma once

#include <gst/gst.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "audio_output.h"
#include "doorbell.h"

// Why a pipeline failed, in the engine's terms.
enum class PipeFailure {
    None,
    Item,    // the item cannot be read: missing, unreadable, a stream that failed
    Format,  // the item is read but not decoded: unknown format, broken data, decoder missing
    Output,  // the output cannot play
};

struct PipeResult {
    PipeFailure failure = PipeFailure::None;
    std::string text;  // GStreamer's words, for the log
};

struct PipeEvent {
    enum class Kind { End, Error, Buffering, DurationChanged };
    Kind kind;
    int percent = 0;       // Buffering
    PipeResult error;      // Error
    uint64_t segment = 0;  // End: the segment (see Seek) that ended
};

struct DecodedFormat {
    int channels = 0;
    int rate = 0;
};

class ItemPipeline {
public:
    // A pipeline at rest (not yet reading the item) at the volume (0 to 100, linear); null with
    // the failure when the output cannot be made or GStreamer lacks the playing elements.
    static std::unique_ptr<ItemPipeline> Create(const std::string& uri, const AudioOutput& output,
                                                int volume, Doorbell& bell, PipeResult* failure);
    ~ItemPipeline();
    ItemPipeline(const ItemPipeline&) = delete;
    ItemPipeline& operator=(const ItemPipeline&) = delete;

    // Reads the item up to its first sound and waits for that (at most `limit`): the item's
    // type, decoder and length are known afterwards. The pipeline stands paused at the start.
    PipeResult Preroll(std::chrono::milliseconds limit);
    void Play();
    void Pause();
    // Back to rest: the item and the output are let go until the next Preroll.
    void Rest();
    // A flushing, accurate seek. It starts a new segment: ends reported before it are stale.
    void Seek(int64_t positionMs);
    // Applies to what has not yet been decoded: the sound read before stays as it was.
    void SetVolume(int volume);

    std::optional<int64_t> PositionMs() const;
    std::optional<int64_t> DurationMs() const;
    std::optional<DecodedFormat> Format() const;
    // The bit rate the item's stream declares, in bits a second.
    std::optional<unsigned> Bitrate() const;
    bool HasAudio() const;
    uint64_t Segment();
    int BufferPercent();
    const AudioOutput& Output() const { return output_; }

    std::vector<PipeEvent> TakeEvents();

private:
    ItemPipeline(GstElement* playbin, GstElement* sink, const AudioOutput& output, Doorbell& bell);
    static GstBusSyncReply OnMessage(GstBus* bus, GstMessage* message, gpointer self);
    void Handle(GstMessage* message);
    PipeResult ErrorOf(GstMessage* message);
    void Push(PipeEvent event);

    GstElement* playbin_;
    GstElement* sink_;  // our reference to the output's element inside the pipeline
    GstBus* bus_;
    AudioOutput output_;
    Doorbell& bell_;

    // Set last by the constructor and read first on the streaming threads: GStreamer's own
    // hand-over of the pipeline is invisible to the thread sanitizer, this one is not.
    std::atomic<bool> published_{false};
    std::mutex mu_;
    std::condition_variable changed_;
    std::vector<PipeEvent> events_;
    bool prerolled_ = false;
    std::optional<PipeResult> firstError_;
    bool decoderMissing_ = false;
    uint64_t segment_ = 0;
    int bufferPercent_ = 100;
};
