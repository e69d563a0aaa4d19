// The play state each notification leaves in the main window, from every state it can find.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "media_play.h"
#include "play_state.h"

namespace {

// The window the notifications reach, installed for one test.
class MediaPlayTest : public ::testing::Test {
protected:
    void SetUp() override { g_pMainDlg = &window_; }
    void TearDown() override { g_pMainDlg = nullptr; }

    CPlayStateHolder window_;
};

constexpr int kUnchanged = -1;

struct EventCase {
    const char* name;
    std::function<void(CMediaPlay&)> notify;
    int state;  // or kUnchanged
};

const EventCase kEventCases[] = {
    {"PlayStart", [](CMediaPlay& m) { m.NotifyPlayStart(); }, PLAY_STATE_PLAYING},
    {"PlayPause", [](CMediaPlay& m) { m.NotifyPlayPause(1); }, PLAY_STATE_PAUSED},
    {"PlayResume", [](CMediaPlay& m) { m.NotifyPlayResume(); }, PLAY_STATE_PLAYING},
    {"PlayStop", [](CMediaPlay& m) { m.NotifyPlayStop(); }, PLAY_STATE_STOPPED},
    {"PlayEnd", [](CMediaPlay& m) { m.NotifyPlayEnd(); }, PLAY_STATE_STOPPED},
    {"PlayFail_lost_service", [](CMediaPlay& m) { m.NotifyPlayFail(-1); }, PLAY_STATE_STOPPED},
    {"PlayFail_code", [](CMediaPlay& m) { m.NotifyPlayFail(2); }, PLAY_STATE_STOPPED},
    {"PlayStatus", [](CMediaPlay& m) { m.NotifyPlayStatus(3); }, kUnchanged},
    {"DownloadStart", [](CMediaPlay& m) { m.NotifyDownloadStart(); }, PLAY_STATE_DOWNLOADING},
    {"DownloadEnd", [](CMediaPlay& m) { m.NotifyDownloadEnd(); }, kUnchanged},
    {"DownloadFail", [](CMediaPlay& m) { m.NotifyDownloadFail(6); }, kUnchanged},
    {"SigChange", [](CMediaPlay& m) { m.NotifySigChange(Sign(1, 2), Sign(3, 4), "x"); },
     kUnchanged},
    {"PlayerDead", [](CMediaPlay& m) { m.NotifyPlayerDead(); }, kUnchanged},
    {"DecoderMissing", [](CMediaPlay& m) { m.NotifyDecoderMissing(); }, kUnchanged},
    {"SongSwitch", [](CMediaPlay& m) { m.NotifySongSwitch(); }, PLAY_STATE_SWITCHING},
    {"MvCanSeek", [](CMediaPlay& m) { m.NotifyMvCanSeek(); }, kUnchanged},
    {"NetBufferProgress", [](CMediaPlay& m) { m.NotifyNetBufferProgress(50); }, kUnchanged},
    {"MvNeedAd", [](CMediaPlay& m) { m.NotifyMvNeedAd(); }, kUnchanged},
    {"MvBlocked", [](CMediaPlay& m) { m.NotifyMvBlocked(); }, kUnchanged},
    {"SongStall", [](CMediaPlay& m) { m.NotifySongStall(); }, kUnchanged},
};

void PrintTo(const EventCase& c, std::ostream* os) {
    *os << c.name;
}

class EventStateTest : public MediaPlayTest, public ::testing::WithParamInterface<EventCase> {};

// No guarded transitions: a setting event overwrites any state; the others keep it.
TEST_P(EventStateTest, FromEveryState) {
    const EventCase& c = GetParam();
    for (int before = PLAY_STATE_NONE; before <= PLAY_STATE_SWITCHING; ++before) {
        window_.SetPlayState(before);
        c.notify(g_MediaPlay);
        EXPECT_EQ(window_.GetPlayState(), c.state == kUnchanged ? before : c.state)
            << "from " << before;
    }
}

// Without a main window the operation only logs.
TEST_P(EventStateTest, WithoutAWindowNothingIsStored) {
    g_pMainDlg = nullptr;
    GetParam().notify(g_MediaPlay);
    EXPECT_EQ(window_.GetPlayState(), PLAY_STATE_NONE);
}

INSTANTIATE_TEST_SUITE_P(Cases, EventStateTest, ::testing::ValuesIn(kEventCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MediaPlayTest, StartPauseResumeStop) {
    EXPECT_EQ(window_.GetPlayState(), PLAY_STATE_NONE);
    g_MediaPlay.NotifyPlayStart();
    EXPECT_EQ(window_.GetPlayState(), 3);
    g_MediaPlay.NotifyPlayPause(0);
    EXPECT_EQ(window_.GetPlayState(), 2);
    g_MediaPlay.NotifyPlayResume();
    EXPECT_EQ(window_.GetPlayState(), 3);
    g_MediaPlay.NotifyPlayStop();
    EXPECT_EQ(window_.GetPlayState(), 1);
}

// A download start while playing forgets the playing; its end keeps 4 until a play event.
TEST_F(MediaPlayTest, DownloadStartWhilePlayingThenEnd) {
    g_MediaPlay.NotifyPlayStart();
    g_MediaPlay.NotifyDownloadStart();
    EXPECT_EQ(window_.GetPlayState(), 4);
    g_MediaPlay.NotifyDownloadEnd();
    EXPECT_EQ(window_.GetPlayState(), 4);
    g_MediaPlay.NotifyPlayResume();
    EXPECT_EQ(window_.GetPlayState(), 3);
}

// The receiver the interface calls is the one CMediaPlay defines, slot for slot.
TEST_F(MediaPlayTest, ThroughTheInterface) {
    IMediaCallback& receiver = g_MediaPlay;
    receiver.NotifySongSwitch();
    EXPECT_EQ(window_.GetPlayState(), 5);
    receiver.NotifyPlayFail(-1);
    EXPECT_EQ(window_.GetPlayState(), 1);
}

}  // namespace
