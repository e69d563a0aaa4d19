// The engine's thread: it takes in what the pipeline reported (the end, failures, buffering)
// and delivers the notifications, one at a time and without the lock, in the order they were
// posted.
#include <algorithm>
#include <climits>

#include "engine_log.h"
#include "engine_threads.h"
#include "play_engine.h"

int CPlayEngine::Init(IMediaCallback* receiver, int /*a*/, int /*b*/, int /*c*/) {
    if (!receiver) {
        return PE_ERR_ARGUMENT;
    }
    std::thread stale;
    {
        std::lock_guard lock(mu_);
        receiver_ = receiver;
        if (!workerActive_) {
            // A thread retired from inside its own notification may still be finishing it.
            stale = std::move(worker_);
            workerActive_ = true;
            worker_ = std::thread(&CPlayEngine::Run, this, generation_);
        }
    }
    if (stale.joinable()) {
        if (stale.get_id() == std::this_thread::get_id()) {
            stale.detach();
        } else {
            stale.join();
        }
    }
    return PE_OK;
}

void CPlayEngine::UnInit() {
    std::thread done;
    std::unique_ptr<ItemPipeline> retired;
    {
        std::lock_guard lock(mu_);
        receiver_ = nullptr;
        notes_.clear();
        retired = std::move(pipeline_);
        prerolled_ = false;
        values_ = EngineValues{};
        bufferNotified_ = -1;
        ++openGeneration_;
        done = RetireWorker();
    }
    bell_.Ring();
    // The pipeline stops without the lock: its threads finish what they are doing first.
    retired.reset();
    // Joining waits for a notification under way; after this, nothing is delivered.
    if (done.joinable()) {
        done.join();
    }
}

std::thread CPlayEngine::RetireWorker() {
    ++generation_;
    workerActive_ = false;
    // Called from inside a notification the thread cannot join itself: it stops after the
    // notification returns, and the next Init or the destructor joins it.
    if (worker_.joinable() && worker_.get_id() == std::this_thread::get_id()) {
        return std::thread();
    }
    return std::move(worker_);
}

void CPlayEngine::Post(NoteKind kind, int arg) {
    // Between UnInit and Init there is nobody to tell.
    if (receiver_) {
        notes_.push_back(Note{kind, arg});
        bell_.Ring();
    }
}

void CPlayEngine::Run(uint64_t generation) {
    PrepareEngineThread();
    for (;;) {
        {
            std::unique_lock lock(mu_);
            if (generation != generation_) {
                // A ring this thread took may have been meant for its successor.
                bell_.Ring();
                return;
            }
            HandlePipelineEvents();
            if (!notes_.empty()) {
                Note note = notes_.front();
                notes_.pop_front();
                IMediaCallback* receiver = receiver_;
                lock.unlock();
                Deliver(receiver, note);
                continue;
            }
        }
        bell_.Wait();
    }
}

void CPlayEngine::HandlePipelineEvents() {
    if (!pipeline_) {
        return;
    }
    for (PipeEvent& event : pipeline_->TakeEvents()) {
        if (!pipeline_) {
            return;  // an earlier event closed the item
        }
        switch (event.kind) {
            case PipeEvent::Kind::End:
                if (values_.state == PE_STATE_PLAYING && event.segment == pipeline_->Segment()) {
                    EndItem();
                }
                break;
            case PipeEvent::Kind::Error:
                if (values_.state != PE_STATE_NONE) {
                    EngineLog(__func__, values_.item.text[0] + " failed: " + event.error.text);
                    FailItem(ResultOf(event.error.failure));
                }
                break;
            case PipeEvent::Kind::Buffering:
                values_.bufferPercent = event.percent;
                if (values_.item.Stream()) {
                    if (event.percent != bufferNotified_) {
                        bufferNotified_ = event.percent;
                        Post(NoteKind::NetBufferProgress, event.percent);
                    }
                    if (values_.state == PE_STATE_PLAYING) {
                        bool hold = event.percent < 100;
                        if (hold && !values_.bufferingHold) {
                            pipeline_->Pause();
                        } else if (!hold && values_.bufferingHold) {
                            pipeline_->Play();
                        }
                        values_.bufferingHold = hold;
                    }
                }
                break;
            case PipeEvent::Kind::DurationChanged:
                if (std::optional<int64_t> duration = pipeline_->DurationMs()) {
                    values_.item.durationMs =
                        static_cast<int>(std::min<int64_t>(*duration, INT32_MAX));
                }
                break;
        }
    }
}

void CPlayEngine::Deliver(IMediaCallback* receiver, const Note& note) {
    switch (note.kind) {
        case NoteKind::PlayStart:
            receiver->NotifyPlayStart();
            break;
        case NoteKind::PlayPause:
            receiver->NotifyPlayPause(note.arg);
            break;
        case NoteKind::PlayResume:
            receiver->NotifyPlayResume();
            break;
        case NoteKind::PlayStop:
            receiver->NotifyPlayStop();
            break;
        case NoteKind::PlayEnd:
            receiver->NotifyPlayEnd();
            break;
        case NoteKind::PlayFail:
            receiver->NotifyPlayFail(note.arg);
            break;
        case NoteKind::DecoderMissing:
            receiver->NotifyDecoderMissing();
            break;
        case NoteKind::NetBufferProgress:
            receiver->NotifyNetBufferProgress(note.arg);
            break;
    }
}
