#include "play_engine.h"

#include <algorithm>
#include <cstring>

#include "engine_log.h"
#include "item_location.h"

namespace {

// A text member of the request, cut to 511 characters even when its NUL is missing.
std::string RequestText(const char (&field)[512]) {
    return std::string(field, strnlen(field, sizeof field - 1));
}

// Where the request's location leads: the item with its uri, or the failure of Open.
int LocateItem(EngineItem& item, WavInfo* wav, bool* isWav) {
    *isWav = false;
    if (IsStreamAddress(item.text[0])) {
        item.uri = item.text[0];
        return PE_OK;
    }
    std::optional<std::string> path = LocationToPath(item.text[0]);
    std::optional<FileIdentity> identity = path ? CheckLocalFile(*path) : std::nullopt;
    if (!identity) {
        return PE_ERR_FILE;
    }
    switch (CheckWavHeader(*path, wav)) {
        case WavGate::Bad:
            return PE_ERR_FORMAT;
        case WavGate::Ok:
            *isWav = true;
            break;
        case WavGate::NotWav:
            break;
    }
    gchar* uri = gst_filename_to_uri(path->c_str(), nullptr);
    if (!uri) {
        return PE_ERR_FILE;
    }
    item.uri = uri;
    g_free(uri);
    item.path = std::move(*path);
    item.identity = *identity;
    return PE_OK;
}

}  // namespace

CPlayEngine::CPlayEngine() : object_(*this) {
    GError* error = nullptr;
    if (!gst_init_check(nullptr, nullptr, &error)) {
        EngineLog(__func__, std::string("GStreamer does not start: ") +
                                (error ? error->message : "no reason given"));
        g_clear_error(&error);
    }
}

CPlayEngine::~CPlayEngine() {
    UnInit();
    // Only a thread that destroys the engine from inside its own notification is left here.
    if (worker_.joinable()) {
        worker_.detach();
    }
}

int CPlayEngine::Open(PlayRequest* request) {
    if (!request) {
        return PE_ERR_ARGUMENT;
    }
    EngineItem item;
    item.text[0] = RequestText(request->itemText1);
    item.text[1] = RequestText(request->itemText2);
    item.text[2] = RequestText(request->itemText3);
    item.text[3] = RequestText(request->itemText4);
    item.number = request->itemNumber;
    item.extra = request->itemExtra;
    WavInfo wav;
    bool isWav = false;
    // The file is looked at before the lock is taken: a slow disk holds up nobody else.
    int result = LocateItem(item, &wav, &isWav);

    // Opening replaces the current item, and a replaced item that was under way has stopped.
    // It goes before the new one is read, so that both never hold the output at once.
    std::unique_ptr<ItemPipeline> replaced;
    uint64_t generation;
    int volume;
    {
        std::lock_guard lock(mu_);
        if (values_.state == PE_STATE_PLAYING || values_.state == PE_STATE_PAUSED) {
            Post(NoteKind::PlayStop);
        }
        replaced = std::move(pipeline_);
        CloseItem();
        generation = ++openGeneration_;
        volume = values_.volume;
        if (result == PE_ERR_FORMAT) {
            Post(NoteKind::DecoderMissing);
        }
    }
    replaced.reset();
    if (result != PE_OK) {
        if (result == PE_ERR_FORMAT) {
            EngineLog(__func__, item.text[0] + ": a WAV file whose header does not hold together");
        }
        return result;
    }

    Opened opened = OpenPipeline(item, volume, true);
    std::lock_guard lock(mu_);
    if (generation != openGeneration_) {
        // Another Open or an UnInit came while this one read its item; theirs stands.
        return PE_ERR_STATE;
    }
    if (opened.result != PE_OK) {
        if (opened.result == PE_ERR_FORMAT) {
            Post(NoteKind::DecoderMissing);
        }
        return opened.result;
    }
    TakeFormat(item, *opened.pipeline, isWav ? &wav : nullptr);
    values_.item = std::move(item);
    values_.bufferPercent = opened.pipeline->BufferPercent();
    pipeline_ = std::move(opened.pipeline);
    pipeline_->SetVolume(values_.volume);  // it may have changed meanwhile
    prerolled_ = true;
    values_.standingMs = 0;
    values_.state = PE_STATE_STOPPED;
    return PE_OK;
}

int CPlayEngine::Play() {
    std::lock_guard lock(mu_);
    switch (values_.state) {
        case PE_STATE_PLAYING:
            return PE_OK;
        case PE_STATE_PAUSED:
            GoPlaying();
            values_.state = PE_STATE_PLAYING;
            Post(NoteKind::PlayResume);
            return PE_OK;
        case PE_STATE_STOPPED:
            return StartStanding();
        default:
            return PE_ERR_STATE;
    }
}

int CPlayEngine::Pause() {
    std::lock_guard lock(mu_);
    if (values_.state == PE_STATE_PAUSED) {
        return PE_OK;
    }
    if (values_.state != PE_STATE_PLAYING) {
        return PE_ERR_STATE;
    }
    // The position is taken before the pipeline stops, so it never shows more than was played.
    RefreshPosition();
    values_.standingMs = values_.positionMs;
    pipeline_->Pause();
    values_.bufferingHold = false;
    values_.state = PE_STATE_PAUSED;
    Post(NoteKind::PlayPause, PE_PAUSE_REQUESTED);
    return PE_OK;
}

int CPlayEngine::Stop() {
    std::lock_guard lock(mu_);
    if (values_.state == PE_STATE_PLAYING || values_.state == PE_STATE_PAUSED) {
        Post(NoteKind::PlayStop);
        if (pipeline_) {
            pipeline_->Rest();
        }
        prerolled_ = false;
    }
    if (values_.state != PE_STATE_NONE) {
        values_.state = PE_STATE_STOPPED;
        values_.standingMs = 0;
        values_.seekPending = false;
        values_.bufferingHold = false;
    }
    return PE_OK;
}

int CPlayEngine::SetPosition(int position) {
    std::lock_guard lock(mu_);
    if (values_.state == PE_STATE_NONE) {
        return PE_ERR_STATE;
    }
    const int duration = values_.item.durationMs;
    int target = std::max(position, 0);
    if (duration > 0) {
        target = std::min(target, duration);
    }
    switch (values_.state) {
        case PE_STATE_STOPPED:
            values_.standingMs = target;
            break;
        case PE_STATE_PAUSED:
            values_.standingMs = target;
            Seek(target);
            break;
        case PE_STATE_PLAYING:
            // A seek to the end of a playing item ends it.
            if (duration > 0 && target >= duration) {
                EndItem();
            } else {
                Seek(target);
            }
            break;
    }
    return PE_OK;
}

int CPlayEngine::SetVolume(int volume) {
    std::lock_guard lock(mu_);
    values_.volume = std::clamp(volume, PE_VOLUME_MIN, PE_VOLUME_MAX);
    if (pipeline_) {
        pipeline_->SetVolume(values_.volume);
    }
    return PE_OK;
}

int CPlayEngine::GetPlayObject(IPlayObject** object) {
    if (!object) {
        return PE_ERR_ARGUMENT;
    }
    *object = &object_;
    return PE_OK;
}
