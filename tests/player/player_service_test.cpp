// The client's player side on the real road: g_PlayerCore over the real proxy, service and
// engine, with g_MediaPlay receiving their notifications and a main window's play state.
#include <atomic>
#include <thread>

#include "media_play.h"
#include "play_state.h"
#include "player_ctrl.h"
#include "client_road_fixture.h"

namespace proxytest {
namespace {

using namespace std::chrono_literals;

class ClientPlayerTest : public ClientRoadTest {
protected:
    // Waits until the window's play state is state; false after timeoutMs.
    bool WaitForState(int state, int timeoutMs) {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (window_.GetPlayState() != state) {
            if (Clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(10ms);
        }
        return true;
    }

    bool OpenDemoTrack() {
        CPlayItem item;
        item.Set(DemoTrack(), "", "", "", 0, Sign(), 0);
        return g_PlayerCore.Open(item);
    }

};

// A lost service: every command false, every getter false with 0, the buffering progress true
// with 0.
TEST_F(ClientPlayerTest, ALostServiceMakesCommandsAndGettersFail) {
    ASSERT_TRUE(OpenDemoTrack());
    int volume = -1;
    ASSERT_TRUE(g_PlayerCore.GetVolume(volume));
    for (DWORD pid : ServiceProcesses()) {
        KillProcess(pid);
    }
    ASSERT_TRUE(WaitForNoService());

    EXPECT_FALSE(g_PlayerCore.Play());
    EXPECT_FALSE(g_PlayerCore.SetVolume(50));
    EXPECT_FALSE(OpenDemoTrack());
    for (auto get : {&CPlayerCtrl::GetVolume, &CPlayerCtrl::GetDuration, &CPlayerCtrl::GetPosition,
                     &CPlayerCtrl::GetBufferPair}) {
        int out = -1;
        EXPECT_FALSE((g_PlayerCore.*get)(out));
        EXPECT_EQ(out, 0);
    }
    int progress = -1;
    EXPECT_TRUE(g_PlayerCore.GetBufferingProgress(progress));
    EXPECT_EQ(progress, 0);
}

// The notifications of a real track reach the window while another thread polls it as the
// movie does; a service killed while playing makes the watchdog report NotifyPlayFail(-1): 1.
TEST_F(ClientPlayerTest, PlayStatesFromTheDeliveryThreadAndTheWatchdog) {
    std::atomic<bool> done{false};
    std::atomic<int> outside{0};
    std::thread movie([&] {
        while (!done.load()) {
            const int state = window_.GetPlayState();
            if (state < PLAY_STATE_NONE || state > PLAY_STATE_SWITCHING) {
                outside.fetch_add(1);
            }
            std::this_thread::sleep_for(1ms);
        }
    });
    ASSERT_TRUE(OpenDemoTrack());
    ASSERT_TRUE(g_PlayerCore.Play());
    EXPECT_TRUE(WaitForState(PLAY_STATE_PLAYING, 5000));
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(g_PlayerCore.Pause());
        EXPECT_TRUE(WaitForState(PLAY_STATE_PAUSED, 5000));
        ASSERT_TRUE(g_PlayerCore.Play());
        EXPECT_TRUE(WaitForState(PLAY_STATE_PLAYING, 5000));
    }
    // The movie's poll: the play object the proxy keeps, whose state the watchdog reads when
    // the service is lost, is refreshed by each getter.
    int position = 0;
    ASSERT_TRUE(g_PlayerCore.GetPosition(position));
    for (DWORD pid : ServiceProcesses()) {
        KillProcess(pid);
    }
    // The watchdog's first poll comes 12 s after InitProxy.
    EXPECT_TRUE(WaitForState(PLAY_STATE_STOPPED, 16000));
    done.store(true);
    movie.join();
    EXPECT_EQ(outside.load(), 0);
}

}  // namespace
}  // namespace proxytest
