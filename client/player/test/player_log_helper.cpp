// A program that drives the client's player side as its arguments say, so a test can read the
// log lines it writes into ./log/BRDJ.txt. Its core writes "core <call>" into the same log when
// it is called, so the file shows what came before the command and what after.
//   play-refused        Play on a core that refuses it
//   open-refused=TEXT   Open of an item whose text1 is TEXT, refused
//   open-accepted=TEXT  the same, accepted
//   notify-all          every notification in the interface's order, with a main window
#include <string>

#include "debug_log.h"
#include "idle_player_core.h"
#include "media_play.h"
#include "play_state.h"
#include "player_ctrl.h"

namespace {

class LoggingCore final : public brtest::IdlePlayerCore {
public:
    int Open(PlayRequest*) override {
        g_Log.Log("core Open");
        return result;
    }
    int Play() override {
        g_Log.Log("core Play");
        return result;
    }
    int result = 0;
};

void OpenItem(const std::string& text1, int result) {
    LoggingCore core;
    core.result = result;
    CPlayerCtrl player;
    player.SetCore(&core);
    CPlayItem item;
    item.Set(text1, "", "", "", 0, Sign(), 0);
    player.Open(item);
}

void NotifyAll() {
    CPlayStateHolder window;
    g_pMainDlg = &window;
    IMediaCallback& m = g_MediaPlay;
    m.NotifyPlayStart();
    m.NotifyPlayPause(1);
    m.NotifyPlayResume();
    m.NotifyPlayStop();
    m.NotifyPlayEnd();
    m.NotifyPlayFail(-1);
    m.NotifyPlayStatus(2);
    m.NotifyDownloadStart();
    m.NotifyDownloadEnd();
    m.NotifyDownloadFail(6);
    m.NotifySigChange(Sign(1, 2), Sign(3, 4), "%s%s");
    m.NotifyPlayerDead();
    m.NotifyDecoderMissing();
    m.NotifySongSwitch();
    m.NotifyMvCanSeek();
    m.NotifyNetBufferProgress(50);
    m.NotifyMvNeedAd();
    m.NotifyMvBlocked();
    m.NotifySongStall();
    g_pMainDlg = nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string step = argv[i];
        if (step == "play-refused") {
            LoggingCore core;
            core.result = 1;
            CPlayerCtrl player;
            player.SetCore(&core);
            player.Play();
        } else if (step.starts_with("open-refused=")) {
            OpenItem(step.substr(13), 1);
        } else if (step.starts_with("open-accepted=")) {
            OpenItem(step.substr(14), 0);
        } else if (step == "notify-all") {
            NotifyAll();
        } else {
            return 2;
        }
    }
    return 0;
}
