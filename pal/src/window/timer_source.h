// The timers of one thread. A timer is due at most once: when its time has come it gives one
// WM_TIMER, and taking that message moves its next time on by whole periods past now, so a
// thread that was busy for several periods gets one message, and the next after about a
// period, on the timer's own beat.
#pragma once

#include <chrono>
#include <mutex>
#include <vector>

#include "window/message_queue.h"

namespace pal {

class TimerSource : public MessageSource {
public:
    // Starts or restarts the timer (hwnd, id).
    void Set(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC procedure);
    bool Kill(HWND hwnd, UINT_PTR id);
    void KillWindowTimers(HWND hwnd);
    bool Has(HWND hwnd, UINT_PTR id);
    // True when (hwnd, id) is a timer with that procedure: what DispatchMessageA may call.
    bool HasProcedure(HWND hwnd, UINT_PTR id, TIMERPROC procedure);
    void Clear();

    bool Take(const MessageFilter& filter, bool remove, MSG* msg,
              std::optional<WakeTime>* wakeAt) override;

private:
    struct Timer {
        HWND hwnd;
        UINT_PTR id;
        TIMERPROC procedure;
        std::chrono::milliseconds period;
        WakeTime due;
    };

    std::mutex lock_;
    std::vector<Timer> timers_;
};

}  // namespace pal
