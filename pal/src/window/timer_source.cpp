#include "window/timer_source.h"

#include <algorithm>

namespace pal {
namespace {

using Clock = std::chrono::steady_clock;

MSG TimerMessage(HWND hwnd, UINT_PTR id, TIMERPROC procedure) {
    return MSG{hwnd, WM_TIMER, id, reinterpret_cast<LPARAM>(procedure), GetTickCount(), {0, 0}};
}

}  // namespace

void TimerSource::Set(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC procedure) {
    auto period =
        std::chrono::milliseconds(std::clamp(elapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM));
    std::lock_guard<std::mutex> guard(lock_);
    Timer timer{hwnd, id, procedure, period, Clock::now() + period};
    for (Timer& existing : timers_) {
        if (existing.hwnd == hwnd && existing.id == id) {
            existing = timer;
            return;
        }
    }
    timers_.push_back(timer);
}

bool TimerSource::Kill(HWND hwnd, UINT_PTR id) {
    std::lock_guard<std::mutex> guard(lock_);
    return std::erase_if(timers_, [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; }) > 0;
}

void TimerSource::KillWindowTimers(HWND hwnd) {
    std::lock_guard<std::mutex> guard(lock_);
    std::erase_if(timers_, [&](const Timer& t) { return t.hwnd == hwnd; });
}

bool TimerSource::Has(HWND hwnd, UINT_PTR id) {
    std::lock_guard<std::mutex> guard(lock_);
    return std::any_of(timers_.begin(), timers_.end(),
                       [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
}

bool TimerSource::HasProcedure(HWND hwnd, UINT_PTR id, TIMERPROC procedure) {
    std::lock_guard<std::mutex> guard(lock_);
    return procedure && std::any_of(timers_.begin(), timers_.end(), [&](const Timer& t) {
               return t.hwnd == hwnd && t.id == id && t.procedure == procedure;
           });
}

void TimerSource::Clear() {
    std::lock_guard<std::mutex> guard(lock_);
    timers_.clear();
}

bool TimerSource::Take(const MessageFilter& filter, bool remove, MSG* msg,
                       std::optional<WakeTime>* wakeAt) {
    std::lock_guard<std::mutex> guard(lock_);
    auto now = Clock::now();
    Timer* earliest = nullptr;
    for (Timer& timer : timers_) {
        if (filter.Matches(TimerMessage(timer.hwnd, timer.id, timer.procedure)) &&
            (!earliest || timer.due < earliest->due)) {
            earliest = &timer;
        }
    }
    if (!earliest) {
        return false;
    }
    if (earliest->due > now) {
        if (!*wakeAt || earliest->due < **wakeAt) {
            *wakeAt = earliest->due;
        }
        return false;
    }
    *msg = TimerMessage(earliest->hwnd, earliest->id, earliest->procedure);
    if (remove) {
        auto missed = (now - earliest->due) / earliest->period;
        earliest->due += earliest->period * (missed + 1);
    }
    return true;
}

}  // namespace pal
