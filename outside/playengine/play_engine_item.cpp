// The item under the engine: its pipeline built and read, where it stands and plays, and how it
// ends or fails.
#include <algorithm>
#include <climits>

#include "engine_log.h"
#include "play_engine.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

// After a seek, a position that the pipeline reports counts as the new one when it lies at the
// target, less this slack, or after it by no more than the time since the seek and this window.
constexpr int kSeekSlackMs = 5;
constexpr auto kSeekWindow = std::chrono::milliseconds(250);
// Past this, the pipeline's position is taken whatever it is.
constexpr auto kSeekGiveUp = std::chrono::milliseconds(3000);

}  // namespace

int CPlayEngine::ResultOf(PipeFailure failure) {
    switch (failure) {
        case PipeFailure::None:
            return PE_OK;
        case PipeFailure::Item:
            return PE_ERR_FILE;
        case PipeFailure::Format:
            return PE_ERR_FORMAT;
        case PipeFailure::Output:
            return PE_ERR_OUTPUT;
    }
    return PE_ERR_FILE;
}

namespace {

int ToInt(uint64_t value) {
    return static_cast<int>(std::min<uint64_t>(value, INT32_MAX));
}

}  // namespace

CPlayEngine::Opened CPlayEngine::OpenPipeline(const EngineItem& item, int volume, bool probe) {
    Opened opened = BuildPipeline(item, OutputFromEnvironment(), volume);
    if (opened.result != PE_ERR_OUTPUT || !probe) {
        return opened;
    }
    // The item may still be fine: it opens, and playing it fails for the output's sake.
    return BuildPipeline(item, AudioOutput{OutputKind::Probe, {}}, volume);
}

CPlayEngine::Opened CPlayEngine::BuildPipeline(const EngineItem& item, const AudioOutput& output,
                                               int volume) {
    PipeResult failure;
    std::unique_ptr<ItemPipeline> pipeline =
        ItemPipeline::Create(item.uri, output, volume, bell_, &failure);
    if (pipeline) {
        failure = pipeline->Preroll(PE_PREROLL_LIMIT);
    }
    if (failure.failure == PipeFailure::None) {
        return {std::move(pipeline), PE_OK};
    }
    if (failure.failure == PipeFailure::Output) {
        EngineLog(__func__,
                  "the audio output \"" + output.Describe() + "\" cannot play: " + failure.text);
    } else {
        EngineLog(__func__, item.text[0] + " does not play: " + failure.text);
    }
    return {nullptr, ResultOf(failure.failure)};
}

void CPlayEngine::TakeFormat(EngineItem& item, const ItemPipeline& pipeline, const WavInfo* wav) {
    item.durationMs = ToInt(static_cast<uint64_t>(pipeline.DurationMs().value_or(0)));
    // A stream of frames without a table of contents (an MP3 file without its header of
    // lengths) is measured by the pipeline only as it plays; until then the length is the one
    // its size and bit rate give.
    std::optional<unsigned> bitrate = pipeline.Bitrate();
    if (item.durationMs == 0 && !item.Stream() && bitrate) {
        item.durationMs = ToInt(static_cast<uint64_t>(item.identity.size) * 8000 / *bitrate);
    }
    if (wav) {
        item.sampleRate = ToInt(wav->sampleRate);
        item.data = {wav->formatTag,       wav->channels,   ToInt(wav->sampleRate),
                     ToInt(wav->byteRate), wav->blockAlign, wav->bitsPerSample,
                     ToInt(wav->dataBytes)};
        return;
    }
    DecodedFormat format = pipeline.Format().value_or(DecodedFormat{});
    item.sampleRate = format.rate;
    item.data = {0, format.channels, format.rate, 0, 0, 0, 0};
}

void CPlayEngine::RefreshPosition() {
    EngineValues& v = values_;
    if (v.state != PE_STATE_PLAYING || !pipeline_) {
        v.positionMs = v.state == PE_STATE_NONE ? 0 : v.standingMs;
        return;
    }
    std::optional<int64_t> reported = pipeline_->PositionMs();
    if (reported && v.seekPending) {
        auto since = SteadyClock::now() - v.seekAt;
        auto sinceMs = std::chrono::duration_cast<std::chrono::milliseconds>(since + kSeekWindow);
        bool fits = *reported >= v.seekTargetMs - kSeekSlackMs &&
                    *reported <= v.seekTargetMs + sinceMs.count();
        v.seekPending = !fits && since < kSeekGiveUp;
    }
    if (v.seekPending) {
        v.positionMs = v.seekTargetMs;
    } else if (reported) {
        v.positionMs = static_cast<int>(std::clamp<int64_t>(*reported, 0, INT32_MAX));
    }
    if (v.item.durationMs > 0) {
        v.positionMs = std::min(v.positionMs, v.item.durationMs);
    }
}

void CPlayEngine::CloseItem() {
    pipeline_.reset();
    prerolled_ = false;
    EngineValues kept = std::move(values_);
    values_ = EngineValues{};
    values_.volume = kept.volume;
    values_.flag = kept.flag;
    values_.numberA = kept.numberA;
    values_.numberB = kept.numberB;
    values_.numberC = kept.numberC;
    values_.numberD = kept.numberD;
    values_.numberE = kept.numberE;
    values_.block = kept.block;
    bufferNotified_ = -1;
}

int CPlayEngine::FailItem(int result) {
    Post(NoteKind::PlayFail, result);
    CloseItem();
    return result;
}

void CPlayEngine::EndItem() {
    // The end leaves the item as Stop does: standing at the start.
    if (pipeline_) {
        pipeline_->Rest();
    }
    prerolled_ = false;
    values_.state = PE_STATE_STOPPED;
    values_.standingMs = 0;
    values_.seekPending = false;
    values_.bufferingHold = false;
    Post(NoteKind::PlayEnd);
}

int CPlayEngine::StartStanding() {
    EngineItem& item = values_.item;
    bool changed = false;
    WavInfo wav;
    bool isWav = false;
    if (!item.Stream()) {
        // The file may have gone or changed since it was opened.
        std::optional<FileIdentity> identity = CheckLocalFile(item.path);
        if (!identity) {
            EngineLog(__func__, item.text[0] + " is gone or no longer readable");
            return FailItem(PE_ERR_FILE);
        }
        if (*identity != item.identity) {
            WavGate gate = CheckWavHeader(item.path, &wav);
            if (gate == WavGate::Bad) {
                EngineLog(__func__,
                          item.text[0] + ": a WAV file whose header does not hold together");
                return FailItem(PE_ERR_FORMAT);
            }
            isWav = gate == WavGate::Ok;
            item.identity = *identity;
            changed = true;
        }
    }
    const bool probing = pipeline_ && pipeline_->Output().kind == OutputKind::Probe;
    if (changed || probing || !pipeline_) {
        pipeline_.reset();  // a new one is read now, without the old holding the output
        Opened opened = OpenPipeline(item, values_.volume, false);
        if (opened.result == PE_ERR_OUTPUT) {
            // The item stays: the next Play tries the output again.
            Post(NoteKind::PlayFail, PE_ERR_OUTPUT);
            return PE_ERR_OUTPUT;
        }
        if (opened.result != PE_OK) {
            return FailItem(opened.result);
        }
        pipeline_ = std::move(opened.pipeline);
        if (changed) {
            TakeFormat(item, *pipeline_, isWav ? &wav : nullptr);
        }
        prerolled_ = true;
    } else if (!prerolled_) {
        PipeResult result = pipeline_->Preroll(PE_PREROLL_LIMIT);
        if (result.failure != PipeFailure::None) {
            EngineLog(__func__, item.text[0] + " does not play again: " + result.text);
            if (result.failure == PipeFailure::Output) {
                pipeline_.reset();
                Post(NoteKind::PlayFail, PE_ERR_OUTPUT);
                return PE_ERR_OUTPUT;
            }
            return FailItem(ResultOf(result.failure));
        }
        prerolled_ = true;
    }
    Post(NoteKind::PlayStart);
    if (item.durationMs > 0 && values_.standingMs >= item.durationMs) {
        // An item at its end ends at once, after its start.
        EndItem();
        return PE_OK;
    }
    if (values_.standingMs > 0) {
        Seek(values_.standingMs);
    }
    values_.state = PE_STATE_PLAYING;
    GoPlaying();
    return PE_OK;
}

void CPlayEngine::Seek(int positionMs) {
    pipeline_->Seek(positionMs);
    values_.seekPending = true;
    values_.seekTargetMs = positionMs;
    values_.seekAt = SteadyClock::now();
}

void CPlayEngine::GoPlaying() {
    // A stream whose buffer is not full waits for it; the position stands meanwhile.
    values_.bufferingHold = values_.item.Stream() && values_.bufferPercent < 100;
    if (!values_.bufferingHold) {
        pipeline_->Play();
    }
}
