#include "item_pipeline.h"

#include <utility>

#include "engine_threads.h"

namespace {

// A state change that fails at once has usually posted its error already; this is how long
// the error may still take to arrive.
constexpr std::chrono::milliseconds kErrorGrace(500);

}  // namespace

std::unique_ptr<ItemPipeline> ItemPipeline::Create(const std::string& uri,
                                                   const AudioOutput& output, int volume,
                                                   Doorbell& bell, PipeResult* failure) {
    GstElement* playbin = gst_element_factory_make("playbin", nullptr);
    if (!playbin) {
        *failure = {PipeFailure::Format, "the element playbin is not installed"};
        return nullptr;
    }
    std::string error;
    GstElement* sink = MakeOutputSink(output, &error);
    if (!sink) {
        gst_object_unref(playbin);
        *failure = {PipeFailure::Output, error};
        return nullptr;
    }
    gst_object_ref_sink(sink);
    g_object_set(playbin, "uri", uri.c_str(), "audio-sink", sink, nullptr);
    // Sound only, with the volume applied to the samples, so every output hears it.
    gst_util_set_object_arg(G_OBJECT(playbin), "flags", "audio+soft-volume");
    std::unique_ptr<ItemPipeline> pipeline(new ItemPipeline(playbin, sink, output, bell));
    pipeline->SetVolume(volume);
    return pipeline;
}

ItemPipeline::ItemPipeline(GstElement* playbin, GstElement* sink, const AudioOutput& output,
                           Doorbell& bell)
    : playbin_(playbin),
      sink_(sink),
      bus_(gst_element_get_bus(playbin)),
      output_(output),
      bell_(bell) {
    published_.store(true, std::memory_order_release);
    gst_bus_set_sync_handler(bus_, &ItemPipeline::OnMessage, this, nullptr);
}

ItemPipeline::~ItemPipeline() {
    // Stops and joins the streaming threads; after it nothing posts to the bus.
    gst_element_set_state(playbin_, GST_STATE_NULL);
    gst_bus_set_sync_handler(bus_, nullptr, nullptr, nullptr);
    gst_object_unref(bus_);
    gst_object_unref(sink_);
    gst_object_unref(playbin_);
}

PipeResult ItemPipeline::Preroll(std::chrono::milliseconds limit) {
    {
        std::lock_guard lock(mu_);
        prerolled_ = false;
        firstError_.reset();
        decoderMissing_ = false;
    }
    GstStateChangeReturn change = gst_element_set_state(playbin_, GST_STATE_PAUSED);
    std::unique_lock lock(mu_);
    if (change == GST_STATE_CHANGE_FAILURE) {
        changed_.wait_for(lock, kErrorGrace, [this] { return firstError_.has_value(); });
        return firstError_ ? *firstError_ : PipeResult{PipeFailure::Item, "the item did not open"};
    }
    if (change != GST_STATE_CHANGE_ASYNC) {
        prerolled_ = true;
    }
    bool done = changed_.wait_for(lock, limit, [this] { return prerolled_ || firstError_; });
    if (firstError_) {
        return *firstError_;
    }
    if (!done) {
        return {PipeFailure::Item, "no sound came within the time limit"};
    }
    lock.unlock();
    if (!HasAudio()) {
        return {PipeFailure::Format, "the item holds no sound"};
    }
    return {};
}

void ItemPipeline::Play() {
    gst_element_set_state(playbin_, GST_STATE_PLAYING);
}

void ItemPipeline::Pause() {
    gst_element_set_state(playbin_, GST_STATE_PAUSED);
}

void ItemPipeline::Rest() {
    gst_element_set_state(playbin_, GST_STATE_READY);
}

void ItemPipeline::Seek(int64_t positionMs) {
    {
        std::lock_guard lock(mu_);
        ++segment_;
    }
    gst_element_seek_simple(playbin_, GST_FORMAT_TIME,
                            static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                            positionMs * GST_MSECOND);
}

void ItemPipeline::SetVolume(int volume) {
    g_object_set(playbin_, "volume", volume / 100.0, nullptr);
}

std::optional<int64_t> ItemPipeline::PositionMs() const {
    gint64 position = 0;
    if (!gst_element_query_position(playbin_, GST_FORMAT_TIME, &position) || position < 0) {
        return std::nullopt;
    }
    return position / GST_MSECOND;
}

std::optional<int64_t> ItemPipeline::DurationMs() const {
    gint64 duration = 0;
    if (!gst_element_query_duration(playbin_, GST_FORMAT_TIME, &duration) || duration < 0) {
        return std::nullopt;
    }
    return duration / GST_MSECOND;
}

std::optional<DecodedFormat> ItemPipeline::Format() const {
    GstPad* pad = nullptr;
    g_signal_emit_by_name(playbin_, "get-audio-pad", 0, &pad);
    if (!pad) {
        return std::nullopt;
    }
    std::optional<DecodedFormat> format;
    if (GstCaps* caps = gst_pad_get_current_caps(pad)) {
        const GstStructure* s = gst_caps_get_structure(caps, 0);
        DecodedFormat f;
        if (gst_structure_get_int(s, "channels", &f.channels) &&
            gst_structure_get_int(s, "rate", &f.rate)) {
            format = f;
        }
        gst_caps_unref(caps);
    }
    gst_object_unref(pad);
    return format;
}

std::optional<unsigned> ItemPipeline::Bitrate() const {
    GstTagList* tags = nullptr;
    g_signal_emit_by_name(playbin_, "get-audio-tags", 0, &tags);
    if (!tags) {
        return std::nullopt;
    }
    guint bitrate = 0;
    bool found = (gst_tag_list_get_uint(tags, GST_TAG_NOMINAL_BITRATE, &bitrate) ||
                  gst_tag_list_get_uint(tags, GST_TAG_BITRATE, &bitrate)) &&
                 bitrate > 0;
    gst_tag_list_unref(tags);
    return found ? std::optional<unsigned>(bitrate) : std::nullopt;
}

bool ItemPipeline::HasAudio() const {
    gint streams = 0;
    g_object_get(playbin_, "n-audio", &streams, nullptr);
    return streams > 0;
}

uint64_t ItemPipeline::Segment() {
    std::lock_guard lock(mu_);
    return segment_;
}

int ItemPipeline::BufferPercent() {
    std::lock_guard lock(mu_);
    return bufferPercent_;
}

std::vector<PipeEvent> ItemPipeline::TakeEvents() {
    std::lock_guard lock(mu_);
    return std::exchange(events_, {});
}

GstBusSyncReply ItemPipeline::OnMessage(GstBus*, GstMessage* message, gpointer self) {
    auto* pipeline = static_cast<ItemPipeline*>(self);
    // Pairs with the constructor's release (see published_).
    (void)pipeline->published_.load(std::memory_order_acquire);
    pipeline->Handle(message);
    return GST_BUS_DROP;
}

void ItemPipeline::Handle(GstMessage* message) {
    const bool fromPipeline = GST_MESSAGE_SRC(message) == GST_OBJECT(playbin_);
    switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_ERROR: {
            PipeResult error = ErrorOf(message);
            {
                std::lock_guard lock(mu_);
                if (!firstError_) {
                    firstError_ = error;
                }
            }
            Push(PipeEvent{PipeEvent::Kind::Error, 0, error, 0});
            break;
        }
        case GST_MESSAGE_ASYNC_DONE:
            if (fromPipeline) {
                std::lock_guard lock(mu_);
                prerolled_ = true;
                changed_.notify_all();
            }
            break;
        case GST_MESSAGE_EOS:
            if (fromPipeline) {
                Push(PipeEvent{PipeEvent::Kind::End, 0, {}, Segment()});
            }
            break;
        case GST_MESSAGE_BUFFERING: {
            gint percent = 0;
            gst_message_parse_buffering(message, &percent);
            {
                std::lock_guard lock(mu_);
                bufferPercent_ = percent;
            }
            Push(PipeEvent{PipeEvent::Kind::Buffering, percent, {}, 0});
            break;
        }
        case GST_MESSAGE_DURATION_CHANGED:
            Push(PipeEvent{PipeEvent::Kind::DurationChanged, 0, {}, 0});
            break;
        case GST_MESSAGE_ELEMENT:
            if (gst_message_has_name(message, "missing-plugin")) {
                std::lock_guard lock(mu_);
                decoderMissing_ = true;
            }
            break;
        case GST_MESSAGE_STREAM_STATUS: {
            // Posted by a streaming thread from inside itself as it starts its work.
            GstStreamStatusType type;
            GstElement* owner = nullptr;
            gst_message_parse_stream_status(message, &type, &owner);
            if (type == GST_STREAM_STATUS_TYPE_ENTER) {
                PrepareEngineThread();
            }
            break;
        }
        default:
            break;
    }
}

PipeResult ItemPipeline::ErrorOf(GstMessage* message) {
    GError* error = nullptr;
    gchar* debug = nullptr;
    gst_message_parse_error(message, &error, &debug);
    PipeResult result;
    gchar* source = gst_object_get_path_string(GST_MESSAGE_SRC(message));
    result.text = std::string(source ? source : "?") + ": " + (error ? error->message : "error");
    if (debug) {
        result.text += std::string(" (") + debug + ")";
    }
    GstObject* from = GST_MESSAGE_SRC(message);
    bool missing;
    {
        std::lock_guard lock(mu_);
        missing = decoderMissing_;
    }
    if (from == GST_OBJECT(sink_) || gst_object_has_as_ancestor(from, GST_OBJECT(sink_))) {
        result.failure = PipeFailure::Output;
    } else if (!missing && error && error->domain == GST_RESOURCE_ERROR) {
        result.failure = PipeFailure::Item;
    } else {
        result.failure = PipeFailure::Format;
    }
    g_free(source);
    g_free(debug);
    if (error) {
        g_error_free(error);
    }
    return result;
}

void ItemPipeline::Push(PipeEvent event) {
    {
        std::lock_guard lock(mu_);
        events_.push_back(std::move(event));
        changed_.notify_all();
    }
    bell_.Ring();
}
