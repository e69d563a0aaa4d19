// The engine's own clock of the play position: it runs in real time while the item plays and
// stands still otherwise. Positions are in microseconds, so repeated pauses lose nothing; the
// position never leaves 0 to the item's length. Time points are passed in, so the arithmetic
// is independent of the real clock.
#pragma once

#include <chrono>
#include <cstdint>

class PlayClock {
public:
    using Clock = std::chrono::steady_clock;

    // A standing clock at 0 for an item of this length.
    void Reset(int64_t lengthUs);
    // Runs on from the current position. No effect when running.
    void Start(Clock::time_point now);
    // Stands still at the position reached by `now`. No effect when standing.
    void Halt(Clock::time_point now);
    // Moves to `positionUs`, clamped to 0 and the length; keeps running or standing.
    void Seek(int64_t positionUs, Clock::time_point now);

    bool Running() const { return running_; }
    int64_t LengthUs() const { return lengthUs_; }
    int64_t PositionUs(Clock::time_point now) const;
    bool AtEnd(Clock::time_point now) const { return PositionUs(now) >= lengthUs_; }
    // When running: the moment the position reaches the length.
    Clock::time_point EndTime() const;

private:
    int64_t lengthUs_ = 0;
    int64_t baseUs_ = 0;  // the position at startedAt_ (running) or the standing position
    Clock::time_point startedAt_{};
    bool running_ = false;
};
