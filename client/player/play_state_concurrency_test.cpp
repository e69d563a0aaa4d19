// The play state shared by three threads: a burst of notifications as the delivery thread
// sends them, NotifyPlayFail(-1) as the watchdog sends it, and a reader polling as the movie
// does. Run under ThreadSanitizer (label concurrency): the value is one atomic word.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "media_play.h"
#include "play_state.h"

namespace {

TEST(PlayStateConcurrency, ABurstWhileAnotherThreadPollsNeverLeavesZeroToFive) {
    CPlayStateHolder window;
    g_pMainDlg = &window;
    constexpr int kRounds = 20000;
    std::atomic<bool> done{false};
    std::atomic<int> outside{0};
    std::atomic<long> polls{0};
    std::thread reader([&] {
        while (!done.load()) {
            const int state = window.GetPlayState();
            if (state < PLAY_STATE_NONE || state > PLAY_STATE_SWITCHING) {
                outside.fetch_add(1);
            }
            polls.fetch_add(1);
        }
    });
    std::thread watchdog([&] {
        for (int i = 0; i < kRounds / 10; ++i) {
            g_MediaPlay.NotifyPlayFail(-1);
        }
    });
    for (int i = 0; i < kRounds; ++i) {
        g_MediaPlay.NotifyPlayStart();
        g_MediaPlay.NotifyPlayPause(1);
        g_MediaPlay.NotifyDownloadStart();
        g_MediaPlay.NotifyDownloadEnd();
        g_MediaPlay.NotifySongSwitch();
        g_MediaPlay.NotifyPlayResume();
        g_MediaPlay.NotifyPlayEnd();
    }
    watchdog.join();
    done.store(true);
    reader.join();
    g_pMainDlg = nullptr;
    EXPECT_EQ(outside.load(), 0);
    EXPECT_GT(polls.load(), 0);
    // The burst's last event was NotifyPlayEnd and the watchdog has finished.
    EXPECT_EQ(window.GetPlayState(), PLAY_STATE_STOPPED);
}

}  // namespace
