#include "play_engine.h"

#include <algorithm>
#include <cstring>

#include "item_location.h"

namespace {

using Clock = PlayClock::Clock;

// A text member of the request, cut to 511 characters even when its NUL is missing.
std::string RequestText(const char (&field)[512]) {
    return std::string(field, strnlen(field, sizeof field - 1));
}

int ResultOf(WavStatus status) {
    return status == WavStatus::BadFormat ? PE_ERR_FORMAT : PE_ERR_FILE;
}

std::array<int, PE_DATA_COUNT> FormatData(const WavInfo& info) {
    return {info.formatTag,
            info.channels,
            static_cast<int>(std::min<uint32_t>(info.sampleRate, INT32_MAX)),
            static_cast<int>(std::min<uint32_t>(info.byteRate, INT32_MAX)),
            info.blockAlign,
            info.bitsPerSample,
            static_cast<int>(std::min<uint64_t>(info.dataBytes, INT32_MAX))};
}

}  // namespace

CPlayEngine::CPlayEngine() : object_(*this) {}

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
    std::optional<std::string> path = LocationToPath(item.text[0]);
    // The file is read before the lock is taken: a slow disk holds up nobody else.
    WavResult wav = path ? ReadWavFile(*path) : WavResult{};

    std::lock_guard lock(mu_);
    Settle(Clock::now());
    // Opening replaces the current item, and a replaced item that was under way has stopped.
    if (values_.state == PE_STATE_PLAYING || values_.state == PE_STATE_PAUSED) {
        Post(NoteKind::PlayStop);
    }
    CloseItem();
    if (wav.status != WavStatus::Ok) {
        if (wav.status == WavStatus::BadFormat) {
            Post(NoteKind::DecoderMissing);
        }
        return ResultOf(wav.status);
    }
    item.path = std::move(*path);
    item.info = wav.info;
    values_.item = std::move(item);
    values_.data = FormatData(wav.info);
    values_.clock.Reset(static_cast<int64_t>(wav.info.durationMs) * 1000);
    values_.state = PE_STATE_STOPPED;
    return PE_OK;
}

int CPlayEngine::Play() {
    std::lock_guard lock(mu_);
    Clock::time_point now = Clock::now();
    Settle(now);
    switch (values_.state) {
        case PE_STATE_PLAYING:
            return PE_OK;
        case PE_STATE_PAUSED:
            values_.clock.Start(now);
            values_.state = PE_STATE_PLAYING;
            Post(NoteKind::PlayResume);
            break;
        case PE_STATE_STOPPED: {
            // A fresh start reads the file's header again: the file may have gone or changed
            // since it was opened. Only a few bytes are read, so it is done under the lock.
            WavResult wav = ReadWavFile(values_.item.path);
            if (wav.status != WavStatus::Ok) {
                int result = ResultOf(wav.status);
                Post(NoteKind::PlayFail, result);
                CloseItem();
                return result;
            }
            values_.clock.Start(now);
            values_.state = PE_STATE_PLAYING;
            Post(NoteKind::PlayStart);
            break;
        }
        default:
            return PE_ERR_STATE;
    }
    // An item at its end (or of no length) ends at once, after its start.
    Settle(now);
    wake_.notify_one();
    return PE_OK;
}

int CPlayEngine::Pause() {
    std::lock_guard lock(mu_);
    Clock::time_point now = Clock::now();
    Settle(now);
    if (values_.state == PE_STATE_PAUSED) {
        return PE_OK;
    }
    if (values_.state != PE_STATE_PLAYING) {
        return PE_ERR_STATE;
    }
    values_.clock.Halt(now);
    values_.state = PE_STATE_PAUSED;
    Post(NoteKind::PlayPause, PE_PAUSE_REQUESTED);
    return PE_OK;
}

int CPlayEngine::Stop() {
    std::lock_guard lock(mu_);
    Settle(Clock::now());
    if (values_.state == PE_STATE_PLAYING || values_.state == PE_STATE_PAUSED) {
        Post(NoteKind::PlayStop);
    }
    if (values_.state != PE_STATE_NONE) {
        values_.clock.Reset(values_.clock.LengthUs());
        values_.state = PE_STATE_STOPPED;
    }
    return PE_OK;
}

int CPlayEngine::SetPosition(int position) {
    std::lock_guard lock(mu_);
    Clock::time_point now = Clock::now();
    Settle(now);
    if (values_.state == PE_STATE_NONE) {
        return PE_ERR_STATE;
    }
    values_.clock.Seek(static_cast<int64_t>(position) * 1000, now);
    // A seek to the end of a playing item ends it.
    Settle(now);
    wake_.notify_one();
    return PE_OK;
}

int CPlayEngine::SetVolume(int volume) {
    std::lock_guard lock(mu_);
    values_.volume = std::clamp(volume, PE_VOLUME_MIN, PE_VOLUME_MAX);
    return PE_OK;
}

int CPlayEngine::GetPlayObject(IPlayObject** object) {
    if (!object) {
        return PE_ERR_ARGUMENT;
    }
    *object = &object_;
    return PE_OK;
}

void CPlayEngine::Settle(Clock::time_point now) {
    if (values_.state == PE_STATE_PLAYING && values_.clock.AtEnd(now)) {
        // The end leaves the item as Stop does: standing at the start.
        values_.clock.Reset(values_.clock.LengthUs());
        values_.state = PE_STATE_STOPPED;
        Post(NoteKind::PlayEnd);
    }
}

void CPlayEngine::CloseItem() {
    values_.state = PE_STATE_NONE;
    values_.item = EngineItem{};
    values_.data = {};
    values_.clock.Reset(0);
}
