#include "play_clock.h"

#include <algorithm>

void PlayClock::Reset(int64_t lengthUs) {
    lengthUs_ = std::max<int64_t>(lengthUs, 0);
    baseUs_ = 0;
    running_ = false;
}

void PlayClock::Start(Clock::time_point now) {
    if (!running_) {
        startedAt_ = now;
        running_ = true;
    }
}

void PlayClock::Halt(Clock::time_point now) {
    if (running_) {
        baseUs_ = PositionUs(now);
        running_ = false;
    }
}

void PlayClock::Seek(int64_t positionUs, Clock::time_point now) {
    baseUs_ = std::clamp<int64_t>(positionUs, 0, lengthUs_);
    startedAt_ = now;
}

int64_t PlayClock::PositionUs(Clock::time_point now) const {
    if (!running_) {
        return baseUs_;
    }
    auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(now - startedAt_).count();
    // A time point before the start counts as no time at all.
    return std::min(baseUs_ + std::max<int64_t>(elapsed, 0), lengthUs_);
}

PlayClock::Clock::time_point PlayClock::EndTime() const {
    return startedAt_ + std::chrono::microseconds(lengthUs_ - baseUs_);
}
