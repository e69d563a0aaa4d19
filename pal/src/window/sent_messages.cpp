#include "window/sent_messages.h"

#include "window/ui_thread.h"
#include "window/window_object.h"

namespace pal {

bool SendAcrossThreads(const std::shared_ptr<Window>& window, UINT message, WPARAM wParam,
                       LPARAM lParam, std::function<LRESULT()> run, LRESULT* result) {
    auto self = CurrentUiThread();
    if (!self) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return false;
    }
    auto sent = std::make_shared<SentMessages::Message>(
        SentMessages::Message{window->hwnd, message, wParam, lParam, self->sent, std::move(run)});
    if (!window->thread->sent->Deliver(sent)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);  // its thread has ended
        return false;
    }
    window->thread->queue->Wake();
    if (!self->sent->AwaitAnswer(sent)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);  // destroyed, or its thread ended, first
        return false;
    }
    *result = sent->result;
    return true;
}

bool SentMessages::Deliver(const std::shared_ptr<Message>& message) {
    std::lock_guard<std::mutex> guard(lock_);
    if (closed_) {
        return false;
    }
    waiting_.push_back(message);
    changed_.notify_all();  // the target may itself be waiting for an answer
    return true;
}

bool SentMessages::AwaitAnswer(const std::shared_ptr<Message>& message) {
    std::unique_lock<std::mutex> lock(lock_);
    while (!message->done) {
        if (!waiting_.empty()) {
            std::shared_ptr<Message> incoming = waiting_.front();
            waiting_.pop_front();
            lock.unlock();
            Handle(incoming);
            lock.lock();
            continue;
        }
        changed_.wait(lock);
    }
    return message->handled;
}

bool SentMessages::Take(const MessageFilter&, bool, MSG*, std::optional<WakeTime>*) {
    while (auto message = Next()) {
        Handle(message);
    }
    return false;
}

void SentMessages::Close() {
    std::deque<std::shared_ptr<Message>> left;
    {
        std::lock_guard<std::mutex> guard(lock_);
        closed_ = true;
        left.swap(waiting_);
    }
    for (const auto& message : left) {
        Answer(message, false, 0);
    }
}

std::shared_ptr<SentMessages::Message> SentMessages::Next() {
    std::lock_guard<std::mutex> guard(lock_);
    if (waiting_.empty()) {
        return nullptr;
    }
    std::shared_ptr<Message> next = waiting_.front();
    waiting_.pop_front();
    return next;
}

void SentMessages::Handle(const std::shared_ptr<Message>& message) {
    // The window may have been destroyed since the message was sent.
    auto window = FindWindowObject(message->hwnd);
    if (!window || window->threadId != GetCurrentThreadId()) {
        Answer(message, false, 0);
        return;
    }
    LRESULT result = message->run ? message->run()
                                  : CallWindowProcedure(window, message->message, message->wParam,
                                                        message->lParam);
    Answer(message, true, result);
}

void SentMessages::Answer(const std::shared_ptr<Message>& message, bool handled, LRESULT result) {
    SentMessages& sender = *message->sender;
    std::lock_guard<std::mutex> guard(sender.lock_);
    message->handled = handled;
    message->result = result;
    message->done = true;
    sender.changed_.notify_all();
}

}  // namespace pal
