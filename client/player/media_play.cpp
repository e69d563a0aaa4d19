// CMediaPlay: one event table row per notification, in the receiver interface's order.
#include "media_play.h"

#include <windows.h>

#include "debug_log.h"
#include "play_state.h"

CMediaPlay::~CMediaPlay() = default;

namespace {

constexpr int kStateUnchanged = -1;

struct MediaEvent {
    int state;         // the play state it stores, or kStateUnchanged
    const char* text;  // its log line (UTF-8 here, written as GBK)
};

// Indexed by the operation's position in IMediaCallback.
constexpr MediaEvent kEvents[] = {
    {PLAY_STATE_PLAYING, "Media通知：播放开始"},
    {PLAY_STATE_PAUSED, "Media通知：播放暂停"},
    {PLAY_STATE_PLAYING, "Media通知：播放恢复"},
    {PLAY_STATE_STOPPED, "Media通知：播放停止"},
    {PLAY_STATE_STOPPED, "Media通知：播放结束"},
    {PLAY_STATE_STOPPED, "Media通知：播放失败"},
    {kStateUnchanged, "Media通知：播放状态"},
    {PLAY_STATE_DOWNLOADING, "Media通知：下载开始"},
    {kStateUnchanged, "Media通知：下载结束"},
    {kStateUnchanged, "Media通知：下载失败"},
    {kStateUnchanged, "Media通知：Sig改变"},
    {kStateUnchanged, "Media通知：Player死亡"},
    {kStateUnchanged, "Media通知：缺少解码器"},
    {PLAY_STATE_SWITCHING, "Media通知：切换歌曲"},
    {kStateUnchanged, "Media通知：NotifyMvCanSeek"},
    {kStateUnchanged, "Media通知：WMP播放网络歌曲时的缓冲进度"},
    {kStateUnchanged, "Media通知：MV还没有下载足够多的数据，通知加载广告"},
    {kStateUnchanged, "Media通知：由于外部的限制，不能播放MV（此时播放模块已经准备好可以播放了）"},
    {kStateUnchanged, "Media通知：提示歌曲卡顿了"},
};
static_assert(sizeof kEvents / sizeof kEvents[0] == 19);

// The state first, then the line: a reader that sees the line can rely on the state.
void Report(int position) {
    const MediaEvent& event = kEvents[position];
    CPlayStateHolder* window = g_pMainDlg;
    if (event.state != kStateUnchanged && window != nullptr) {
        window->SetPlayState(event.state);
    }
    g_Log.Log("%s", PalGbk(event.text));
}

}  // namespace

void CMediaPlay::NotifyPlayStart() {
    Report(0);
}
void CMediaPlay::NotifyPlayPause(int) {
    Report(1);
}
void CMediaPlay::NotifyPlayResume() {
    Report(2);
}
void CMediaPlay::NotifyPlayStop() {
    Report(3);
}
void CMediaPlay::NotifyPlayEnd() {
    Report(4);
}
void CMediaPlay::NotifyPlayFail(int) {
    Report(5);
}
void CMediaPlay::NotifyPlayStatus(int) {
    Report(6);
}
void CMediaPlay::NotifyDownloadStart() {
    Report(7);
}
void CMediaPlay::NotifyDownloadEnd() {
    Report(8);
}
void CMediaPlay::NotifyDownloadFail(int) {
    Report(9);
}
void CMediaPlay::NotifySigChange(Sign, Sign, const char*) {
    Report(10);
}
void CMediaPlay::NotifyPlayerDead() {
    Report(11);
}
void CMediaPlay::NotifyDecoderMissing() {
    Report(12);
}
void CMediaPlay::NotifySongSwitch() {
    Report(13);
}
void CMediaPlay::NotifyMvCanSeek() {
    Report(14);
}
void CMediaPlay::NotifyNetBufferProgress(int) {
    Report(15);
}
void CMediaPlay::NotifyMvNeedAd() {
    Report(16);
}
void CMediaPlay::NotifyMvBlocked() {
    Report(17);
}
void CMediaPlay::NotifySongStall() {
    Report(18);
}
