#include "window/message_queue.h"

#include <algorithm>

namespace pal {

bool MessageFilter::Matches(const MSG& msg) const {
    if (msg.message == WM_QUIT) {
        return true;  // a quit is taken whatever the filter
    }
    if (hwnd == kThreadMessagesOnly) {
        if (msg.hwnd != nullptr) {
            return false;
        }
    } else if (hwnd != nullptr && msg.hwnd != hwnd) {
        return false;
    }
    if (min == 0 && max == 0) {
        return true;
    }
    return msg.message >= min && msg.message <= max;
}

// Differs from Windows: MSG.pt is always 0, 0, since the layer has no pointer.
MessageQueue::PostResult MessageQueue::Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{hwnd, message, wParam, lParam, GetTickCount(), {0, 0}};
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (closed_) {
            return PostResult::kClosed;
        }
        if (posted_.size() >= kPostLimit) {
            return PostResult::kFull;
        }
        posted_.push_back(msg);
        ++generation_;
    }
    // The taker is woken after the lock is let go, so it never blocks on it at once (on one
    // core that costs two extra switches per hand-off). Callers hold the queue by a shared
    // reference, so it outlives this call.
    changed_.notify_all();
    return PostResult::kPosted;
}

void MessageQueue::PostQuit(int exitCode) {
    std::lock_guard<std::mutex> guard(lock_);
    quit_ = true;
    quitCode_ = exitCode;
    ChangedLocked();
}

bool MessageQueue::Take(const MessageFilter& filter, bool remove, bool wait, MSG* msg) {
    for (;;) {
        std::vector<Registered> sources;
        unsigned long long seen;
        {
            std::lock_guard<std::mutex> guard(lock_);
            if (closed_) {
                return false;
            }
            seen = generation_;
            sources = sources_;
        }
        std::optional<WakeTime> wakeAt;
        if (TakeFromSources(sources, MessageSource::Stage::kBeforePosted, filter, remove, msg,
                            &wakeAt)) {
            return true;
        }
        {
            std::lock_guard<std::mutex> guard(lock_);
            if (TakePostedLocked(filter, remove, msg)) {
                return true;
            }
            if (quit_) {
                WPARAM code = static_cast<WPARAM>(static_cast<INT_PTR>(quitCode_));
                *msg = MSG{nullptr, WM_QUIT, code, 0, GetTickCount(), {0, 0}};
                if (remove) {
                    quit_ = false;
                }
                return true;
            }
        }
        if (TakeFromSources(sources, MessageSource::Stage::kAfterQuit, filter, remove, msg,
                            &wakeAt)) {
            return true;
        }
        if (!wait) {
            return false;
        }
        std::unique_lock<std::mutex> lock(lock_);
        auto changed = [&] { return generation_ != seen || closed_; };
        if (wakeAt) {
            changed_.wait_until(lock, *wakeAt, changed);
        } else {
            changed_.wait(lock, changed);
        }
    }
}

bool MessageQueue::TakeFromSources(const std::vector<Registered>& sources,
                                   MessageSource::Stage stage, const MessageFilter& filter,
                                   bool remove, MSG* msg, std::optional<WakeTime>* wakeAt) {
    for (const Registered& entry : sources) {
        if (entry.stage == stage && entry.source->Take(filter, remove, msg, wakeAt)) {
            return true;
        }
    }
    return false;
}

bool MessageQueue::TakePostedLocked(const MessageFilter& filter, bool remove, MSG* msg) {
    auto it = std::find_if(posted_.begin(), posted_.end(),
                           [&](const MSG& posted) { return filter.Matches(posted); });
    if (it == posted_.end()) {
        return false;
    }
    *msg = *it;
    if (remove) {
        posted_.erase(it);
    }
    return true;
}

void MessageQueue::AddSource(std::shared_ptr<MessageSource> source, MessageSource::Stage stage) {
    std::lock_guard<std::mutex> guard(lock_);
    if (closed_) {
        return;
    }
    sources_.push_back({std::move(source), stage});
    ChangedLocked();
}

void MessageQueue::AddSource(MessageSource* source, MessageSource::Stage stage) {
    // Not owned: an alias of no object.
    AddSource(std::shared_ptr<MessageSource>(std::shared_ptr<void>(), source), stage);
}

void MessageQueue::RemoveSource(MessageSource* source) {
    std::lock_guard<std::mutex> guard(lock_);
    std::erase_if(sources_, [&](const Registered& entry) { return entry.source.get() == source; });
}

void MessageQueue::RemoveWindowMessages(HWND hwnd) {
    std::lock_guard<std::mutex> guard(lock_);
    std::erase_if(posted_, [&](const MSG& msg) { return msg.hwnd == hwnd; });
}

void MessageQueue::AddCloseHook(std::function<void()> hook) {
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (!closed_) {
            closeHooks_.push_back(std::move(hook));
            return;
        }
    }
    hook();
}

void MessageQueue::Wake() {
    std::lock_guard<std::mutex> guard(lock_);
    ChangedLocked();
}

void MessageQueue::Close() {
    std::vector<std::function<void()>> hooks;
    std::vector<Registered> sources;
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (closed_) {
            return;
        }
        closed_ = true;
        posted_.clear();
        hooks.swap(closeHooks_);
        sources.swap(sources_);
        ChangedLocked();
    }
    for (auto& hook : hooks) {
        hook();
    }
}

void MessageQueue::ChangedLocked() {
    ++generation_;
    changed_.notify_all();
}

}  // namespace pal
