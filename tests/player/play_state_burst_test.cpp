// The play state between the proxy's delivery thread and the movie: a burst of player
// notifications sent by a fake service reaches g_MediaPlay on the call center's thread while
// the GUI thread polls "BRGetPlayState" through the bridge, as the movie does. Every reply is a
// number element of a state 0 to 5. Run under ThreadSanitizer (label concurrency).
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

#include "bridge_harness.h"
#include "media_play.h"
#include "msg_ids.h"
#include "play_state.h"
#include "player_ctrl.h"
#include "player_protocol.h"
#include "proxy_fixture.h"
#include "wait_until.h"

namespace proxytest {
namespace {

class PlayStateBurstTest : public ProxyRoad {
protected:
    void SetUp() override {
        ProxyRoad::SetUp();
        g_pMainDlg = &window_;
        // The receiver the proxy hands its notifications to (the fake answers nothing, so the
        // receiver stays registered).
        player_->Init(&g_MediaPlay, 0, 0, 0);
    }
    void TearDown() override {
        ProxyRoad::TearDown();
        g_pMainDlg = nullptr;
    }

    CPlayStateHolder window_;
};

TEST_F(PlayStateBurstTest, TheMoviesPollNeverSeesAStateOutsideZeroToFive) {
    // One round of every notification that sets a state; the last one ends playing (1).
    const std::vector<Bytes> round = {
        Ints({PLAYER_NOTIFY_PLAY_START}),     Cat({Ints({PLAYER_NOTIFY_PLAY_PAUSE}), {1}}),
        Ints({PLAYER_NOTIFY_DOWNLOAD_START}), Ints({PLAYER_NOTIFY_PLAY_RESUME}),
        Ints({PLAYER_NOTIFY_SONG_SWITCH}),    Ints({PLAYER_NOTIFY_DOWNLOAD_END}),
        Ints({PLAYER_NOTIFY_PLAY_FAIL, -1}),  Ints({PLAYER_NOTIFY_PLAY_START}),
        Ints({PLAYER_NOTIFY_PLAY_STOP}),      Ints({PLAYER_NOTIFY_PLAY_START}),
        Ints({PLAYER_NOTIFY_PLAY_END}),
    };
    constexpr int kRounds = 300;
    std::atomic<bool> polling{false}, done{false};
    std::atomic<int> failedSends{0};
    std::thread service([&] {
        brtest::WaitUntil([&] { return polling.load(); });  // the burst comes while it polls
        for (int i = 0; i < kRounds; ++i)
            for (const Bytes& payload : round)
                if (service_.Notify(CHANNEL_PLAYER, payload) != S_OK)
                    failedSends.fetch_add(1);
        done = true;
    });

    bridgetest::BridgeHarness harness(g_PlayerCore, window_);
    const std::string request = bridgetest::Invoke("BRGetPlayState");
    std::set<std::string> seen;
    std::vector<std::string> bad;
    long polls = 0;
    while (!done.load()) {
        const std::vector<std::string> events = harness.Serve(request);
        ++polls;
        polling = true;
        const std::string reply = events.size() == 1 ? events[0] : "";
        seen.insert(reply);
        if (reply.size() != std::string("reply <number>N</number>\r\n").size() ||
            reply.compare(0, 14, "reply <number>") != 0 || reply[14] < '0' || reply[14] > '5' ||
            reply.compare(15, std::string::npos, "</number>\r\n") != 0)
            bad.push_back(reply);
    }
    service.join();
    EXPECT_EQ(failedSends.load(), 0);
    EXPECT_GT(polls, 0);
    EXPECT_TRUE(bad.empty()) << ::testing::PrintToString(bad);
    // Deliveries are synchronous and in order: once the burst is sent, the last one stands.
    EXPECT_EQ(harness.Serve(request), std::vector<std::string>{"reply <number>1</number>\r\n"});
    EXPECT_EQ(window_.GetPlayState(), PLAY_STATE_STOPPED);
    // The poll ran while the states changed under it.
    EXPECT_GT(seen.size(), 1u) << ::testing::PrintToString(seen);
}

}  // namespace
}  // namespace proxytest
