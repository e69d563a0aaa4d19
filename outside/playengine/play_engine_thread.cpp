// The engine's thread: it ends a playing item when its clock reaches the end, and it delivers
// the notifications, one at a time and without the lock, in the order they were posted.
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
    {
        std::lock_guard lock(mu_);
        receiver_ = nullptr;
        notes_.clear();
        values_ = EngineValues{};
        done = RetireWorker();
    }
    wake_.notify_all();
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
        wake_.notify_one();
    }
}

void CPlayEngine::Run(uint64_t generation) {
    std::unique_lock lock(mu_);
    while (generation == generation_) {
        Settle(PlayClock::Clock::now());
        if (!notes_.empty()) {
            Note note = notes_.front();
            notes_.pop_front();
            IMediaCallback* receiver = receiver_;
            lock.unlock();
            Deliver(receiver, note);
            lock.lock();
        } else if (values_.state == PE_STATE_PLAYING) {
            wake_.wait_until(lock, values_.clock.EndTime());
        } else {
            wake_.wait(lock);
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
    }
}
