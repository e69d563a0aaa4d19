// The engine plays on the real clock: to the end, with pause and resume, seeks, stop and
// volume. Timing checks are exact lower bounds (the engine is never early) and loose upper
// bounds; every wait for a notification has a generous limit.
#include <gtest/gtest.h>

#include <climits>
#include <thread>
#include <vector>

#include "engine_test_support.h"
#include "test_wav.h"
#include "wait_until.h"

namespace {

using namespace enginetest;

TEST_F(PlayEngineTest, PlaysAShortFileToTheEndOnItsOwn) {
    std::string path = WriteFile("short.wav", enginetest::WavOfMs(300));
    PlayRequest request;
    Put(request.itemText1, path);
    Put(request.itemText2, "title");
    Put(request.itemText3, "artist");
    Put(request.itemText4, "album");
    request.itemNumber = 42;
    request.itemExtra = 7;
    ASSERT_EQ(core_->Open(&request), PE_OK);

    EXPECT_EQ(object_->GetDuration(), 300);
    EXPECT_EQ(object_->GetState(), PE_STATE_STOPPED);
    EXPECT_EQ(object_->GetPosition(), 0);
    int first = -1;
    int second = -1;
    object_->GetBufferInfo(&first, &second);
    EXPECT_EQ(first, 100);
    EXPECT_EQ(second, 100);
    EXPECT_EQ(Text(&IPlayObject::GetTextA), path);
    EXPECT_EQ(Text(&IPlayObject::GetTextB), "title");
    EXPECT_EQ(Text(&IPlayObject::GetTextC), "artist");
    EXPECT_EQ(Text(&IPlayObject::GetTextD), "album");
    EXPECT_EQ(object_->GetNumberF(), 42);
    EXPECT_EQ(object_->GetNumberG(), 7);
    EXPECT_EQ(object_->GetNumberH(), 8000);
    int* data = nullptr;
    int count = 0;
    object_->GetData(&data, &count);
    ASSERT_EQ(count, PE_DATA_COUNT);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::vector<int>(data, data + count),
              (std::vector<int>{1, 1, 8000, 16000, 2, 16, 4800}));

    Clock::time_point played = Clock::now();
    ASSERT_EQ(core_->Play(), PE_OK);
    ASSERT_TRUE(receiver_.WaitForCount(2));
    std::vector<Note> notes = receiver_.Notes();
    EXPECT_EQ(receiver_.Kinds(), (std::vector<Kind>{Start, End}));
    EXPECT_GE(notes[1].when - played, milliseconds(300));
    EXPECT_LT(notes[1].when - played, milliseconds(3000));
    EXPECT_EQ(object_->GetState(), PE_STATE_STOPPED);
    EXPECT_EQ(object_->IsActive(), 0);
    EXPECT_EQ(object_->GetPosition(), 0);
    EXPECT_EQ(object_->GetDuration(), 300);
}

TEST_F(PlayEngineTest, PauseHoldsThePositionAndPlayResumes) {
    ASSERT_EQ(Open(WriteFile("item.wav", enginetest::WavOfMs(1000))), PE_OK);
    ASSERT_EQ(core_->Play(), PE_OK);
    ASSERT_TRUE(brtest::WaitUntil([&] { return object_->GetPosition() >= 100; }));
    ASSERT_EQ(core_->Pause(), PE_OK);
    EXPECT_EQ(object_->GetState(), PE_STATE_PAUSED);
    EXPECT_EQ(object_->IsActive(), 0);
    int held = object_->GetPosition();
    EXPECT_GE(held, 100);
    EXPECT_LT(held, 1000);
    EXPECT_TRUE(
        brtest::NothingFor(milliseconds(150), [&] { return object_->GetPosition() != held; }));
    EXPECT_EQ(object_->GetPosition(), held);
    EXPECT_EQ(core_->Pause(), PE_OK);  // already paused: nothing happens

    Clock::time_point resumed = Clock::now();
    ASSERT_EQ(core_->Play(), PE_OK);
    ASSERT_TRUE(receiver_.WaitForCount(4));
    std::vector<Note> notes = receiver_.Notes();
    EXPECT_EQ(receiver_.Kinds(), (std::vector<Kind>{Start, Pause, Resume, End}));
    EXPECT_EQ(notes[1].arg, PE_PAUSE_REQUESTED);
    // The time spent paused does not count: the end comes the rest of the item after resuming
    // (less the part of a millisecond that the position does not show).
    EXPECT_GE(notes[3].when - resumed, milliseconds(1000 - held - 1));
}

TEST_F(PlayEngineTest, SeekWhileStandingClampsToTheItem) {
    EXPECT_EQ(core_->SetPosition(100), PE_ERR_STATE);  // no item
    ASSERT_EQ(Open(WriteFile("item.wav", enginetest::WavOfMs(2000))), PE_OK);
    const struct {
        int to;
        int at;
    } seeks[] = {{1500, 1500}, {-20, 0},     {99999, 2000},   {2000, 2000},
                 {0, 0},       {INT_MIN, 0}, {INT_MAX, 2000}, {1, 1}};
    for (const auto& s : seeks) {
        EXPECT_EQ(core_->SetPosition(s.to), PE_OK) << s.to;
        EXPECT_EQ(object_->GetPosition(), s.at) << s.to;
        EXPECT_EQ(object_->GetState(), PE_STATE_STOPPED);
    }
    // Play goes on from where the seek left the item.
    ASSERT_EQ(core_->SetPosition(1700), PE_OK);
    Clock::time_point played = Clock::now();
    ASSERT_EQ(core_->Play(), PE_OK);
    ASSERT_TRUE(receiver_.WaitForCount(2));
    std::vector<Note> notes = receiver_.Notes();
    EXPECT_EQ(receiver_.Kinds(), (std::vector<Kind>{Start, End}));
    EXPECT_GE(notes[1].when - played, milliseconds(300));
    EXPECT_LT(notes[1].when - played, milliseconds(1500));
}

TEST_F(PlayEngineTest, SeekWhilePlayingOrPaused) {
    ASSERT_EQ(Open(WriteFile("item.wav", enginetest::WavOfMs(2000))), PE_OK);
    ASSERT_EQ(core_->Play(), PE_OK);
    ASSERT_EQ(core_->Pause(), PE_OK);
    ASSERT_EQ(core_->SetPosition(700), PE_OK);
    EXPECT_EQ(object_->GetPosition(), 700);
    EXPECT_EQ(object_->GetState(), PE_STATE_PAUSED);

    ASSERT_EQ(core_->Play(), PE_OK);
    Clock::time_point sought = Clock::now();
    ASSERT_EQ(core_->SetPosition(1800), PE_OK);
    ASSERT_TRUE(receiver_.WaitForCount(4));
    std::vector<Note> notes = receiver_.Notes();
    EXPECT_EQ(receiver_.Kinds(), (std::vector<Kind>{Start, Pause, Resume, End}));
    EXPECT_GE(notes[3].when - sought, milliseconds(200));
    EXPECT_LT(notes[3].when - sought, milliseconds(1500));

    // A seek to the end of a playing item ends it at once.
    ASSERT_EQ(core_->Play(), PE_OK);
    ASSERT_EQ(core_->SetPosition(INT_MAX), PE_OK);
    ASSERT_TRUE(receiver_.WaitForCount(6));
    EXPECT_EQ(receiver_.Kinds(), (std::vector<Kind>{Start, Pause, Resume, End, Start, End}));
    EXPECT_EQ(object_->GetState(), PE_STATE_STOPPED);
}

TEST_F(PlayEngineTest, StopReturnsToTheStartAndCancelsTheEnd) {
    ASSERT_EQ(Open(WriteFile("item.wav", enginetest::WavOfMs(300))), PE_OK);
    ASSERT_EQ(core_->Play(), PE_OK);
    ASSERT_TRUE(receiver_.WaitForCount(1));
    ASSERT_EQ(core_->Stop(), PE_OK);
    EXPECT_EQ(object_->GetState(), PE_STATE_STOPPED);
    EXPECT_EQ(object_->GetPosition(), 0);
    EXPECT_EQ(core_->Stop(), PE_OK);  // already standing: nothing happens
    EXPECT_TRUE(
        brtest::NothingFor(milliseconds(450), [&] { return receiver_.Kinds().size() > 2; }));
    EXPECT_EQ(receiver_.Kinds(), (std::vector<Kind>{Start, Stop}));

    // The item plays again, whole.
    Clock::time_point played = Clock::now();
    ASSERT_EQ(core_->Play(), PE_OK);
    ASSERT_TRUE(receiver_.WaitForCount(4));
    EXPECT_EQ(receiver_.Kinds(), (std::vector<Kind>{Start, Stop, Start, End}));
    EXPECT_GE(receiver_.Notes()[3].when - played, milliseconds(300));
}

TEST_F(PlayEngineTest, CommandsThatDoNotFitTheState) {
    // No item.
    EXPECT_EQ(core_->Play(), PE_ERR_STATE);
    EXPECT_EQ(core_->Pause(), PE_ERR_STATE);
    EXPECT_EQ(core_->Stop(), PE_OK);
    EXPECT_EQ(object_->GetState(), PE_STATE_NONE);
    // An item standing, then playing.
    ASSERT_EQ(Open(WriteFile("item.wav", enginetest::WavOfMs(2000))), PE_OK);
    EXPECT_EQ(core_->Pause(), PE_ERR_STATE);
    ASSERT_EQ(core_->Play(), PE_OK);
    EXPECT_EQ(core_->Play(), PE_OK);  // already playing: no second start
    ASSERT_EQ(core_->Stop(), PE_OK);
    ASSERT_TRUE(receiver_.WaitForCount(2));
    EXPECT_EQ(receiver_.Kinds(), (std::vector<Kind>{Start, Stop}));
}

TEST_F(PlayEngineTest, VolumeIsClampedToZeroToHundred) {
    EXPECT_EQ(object_->GetVolume(), PE_VOLUME_DEFAULT);
    const struct {
        int set;
        int got;
    } cases[] = {{50, 50}, {0, 0}, {100, 100}, {101, 100}, {-1, 0}, {INT_MIN, 0}, {INT_MAX, 100}};
    for (const auto& c : cases) {
        EXPECT_EQ(core_->SetVolume(c.set), PE_OK) << c.set;
        EXPECT_EQ(object_->GetVolume(), c.got) << c.set;
        EXPECT_EQ(core_->QueryNumber(PE_QUERY_VOLUME), c.got) << c.set;
    }
    // The volume belongs to the engine, not to the item.
    ASSERT_EQ(core_->SetVolume(30), PE_OK);
    ASSERT_EQ(Open(WriteFile("item.wav", enginetest::WavOfMs(100))), PE_OK);
    EXPECT_EQ(object_->GetVolume(), 30);
}

}  // namespace
