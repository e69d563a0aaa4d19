// The clock's arithmetic on made-up time points.
#include "play_clock.h"

#include <gtest/gtest.h>

namespace {

using std::chrono::milliseconds;

class PlayClockTest : public ::testing::Test {
protected:
    PlayClock::Clock::time_point At(int ms) { return t0_ + milliseconds(ms); }

    PlayClock::Clock::time_point t0_ = PlayClock::Clock::now();
    PlayClock clock_;
};

TEST_F(PlayClockTest, RunsOnlyWhileStarted) {
    clock_.Reset(1'000'000);
    EXPECT_EQ(clock_.PositionUs(At(500)), 0);
    clock_.Start(At(0));
    EXPECT_EQ(clock_.PositionUs(At(250)), 250'000);
    clock_.Start(At(200));  // already running: the start stays at 0
    EXPECT_EQ(clock_.PositionUs(At(300)), 300'000);
    clock_.Halt(At(400));
    EXPECT_FALSE(clock_.Running());
    EXPECT_EQ(clock_.PositionUs(At(900)), 400'000);
    clock_.Halt(At(950));  // already standing: nothing moves
    clock_.Start(At(1000));
    EXPECT_EQ(clock_.PositionUs(At(1100)), 500'000);
    EXPECT_EQ(clock_.EndTime(), At(1600));
}

TEST_F(PlayClockTest, StaysWithinTheItem) {
    clock_.Reset(300'000);
    clock_.Start(At(100));
    EXPECT_EQ(clock_.PositionUs(At(50)), 0);  // before the start
    EXPECT_FALSE(clock_.AtEnd(At(399)));
    EXPECT_TRUE(clock_.AtEnd(At(400)));
    EXPECT_EQ(clock_.PositionUs(At(5000)), 300'000);
}

TEST_F(PlayClockTest, SeekClampsAndKeepsRunningOrStanding) {
    clock_.Reset(2'000'000);
    const struct {
        int64_t to;
        int64_t at;
    } seeks[] = {{1'500'000, 1'500'000},
                 {-1, 0},
                 {2'000'001, 2'000'000},
                 {INT64_MIN, 0},
                 {INT64_MAX, 2'000'000}};
    for (const auto& s : seeks) {
        clock_.Seek(s.to, At(0));
        EXPECT_EQ(clock_.PositionUs(At(100)), s.at) << s.to;
    }
    clock_.Start(At(0));
    clock_.Seek(1'000'000, At(500));
    EXPECT_TRUE(clock_.Running());
    EXPECT_EQ(clock_.PositionUs(At(600)), 1'100'000);
    EXPECT_EQ(clock_.EndTime(), At(1500));
}

TEST_F(PlayClockTest, ResetStandsAtTheStart) {
    clock_.Reset(1'000'000);
    clock_.Start(At(0));
    clock_.Reset(700'000);
    EXPECT_FALSE(clock_.Running());
    EXPECT_EQ(clock_.PositionUs(At(300)), 0);
    EXPECT_EQ(clock_.LengthUs(), 700'000);
    clock_.Reset(-5);
    EXPECT_EQ(clock_.LengthUs(), 0);
    EXPECT_TRUE(clock_.AtEnd(At(0)));
}

}  // namespace
