// The player-core stub's IMediaCallback operations: each engine notification becomes the player
// notification numbered slot + 1, sent to the proxy on CHANNEL_PLAYER, or dropped while there is
// no message center (service_notify.h). NotifyPlayStatus and NotifySongStall send nothing.
#include "byte_stream.h"
#include "msg_ids.h"
#include "play_core_stub.h"
#include "player_protocol.h"
#include "service_notify.h"

namespace {

void Notify(int id) {
    CStreamWriter payload;
    payload.WriteInt(id);
    SendServiceNotification(CHANNEL_PLAYER, payload);
}

void NotifyInt(int id, int value) {
    CStreamWriter payload;
    payload.WriteCmdInt(id, value);
    SendServiceNotification(CHANNEL_PLAYER, payload);
}

}  // namespace

void CPlayCoreStub::NotifyPlayStart() {
    Notify(PLAYER_NOTIFY_PLAY_START);
}

void CPlayCoreStub::NotifyPlayPause(int flag) {
    // Only the argument's low byte crosses.
    CStreamWriter payload;
    payload.WriteCmdByte(PLAYER_NOTIFY_PLAY_PAUSE, static_cast<BYTE>(flag & 0xFF));
    SendServiceNotification(CHANNEL_PLAYER, payload);
}

void CPlayCoreStub::NotifyPlayResume() {
    Notify(PLAYER_NOTIFY_PLAY_RESUME);
}

void CPlayCoreStub::NotifyPlayStop() {
    Notify(PLAYER_NOTIFY_PLAY_STOP);
}

void CPlayCoreStub::NotifyPlayEnd() {
    Notify(PLAYER_NOTIFY_PLAY_END);
}

void CPlayCoreStub::NotifyPlayFail(int code) {
    NotifyInt(PLAYER_NOTIFY_PLAY_FAIL, code);
}

// Not forwarded: the proxy has no use for the engine's play status.
void CPlayCoreStub::NotifyPlayStatus(int) {}

void CPlayCoreStub::NotifyDownloadStart() {
    Notify(PLAYER_NOTIFY_DOWNLOAD_START);
}

void CPlayCoreStub::NotifyDownloadEnd() {
    Notify(PLAYER_NOTIFY_DOWNLOAD_END);
}

void CPlayCoreStub::NotifyDownloadFail(int code) {
    NotifyInt(PLAYER_NOTIFY_DOWNLOAD_FAIL, code);
}

void CPlayCoreStub::NotifySigChange(Sign first, Sign second, const char* text) {
    CStreamWriter payload;
    payload.WriteCmdSignPair(PLAYER_NOTIFY_SIG_CHANGE, first.first, first.second, second.first,
                             second.second, text);
    SendServiceNotification(CHANNEL_PLAYER, payload);
}

void CPlayCoreStub::NotifyPlayerDead() {
    Notify(PLAYER_NOTIFY_PLAYER_DEAD);
}

void CPlayCoreStub::NotifyDecoderMissing() {
    Notify(PLAYER_NOTIFY_DECODER_MISSING);
}

void CPlayCoreStub::NotifySongSwitch() {
    Notify(PLAYER_NOTIFY_SONG_SWITCH);
}

void CPlayCoreStub::NotifyMvCanSeek() {
    Notify(PLAYER_NOTIFY_MV_CAN_SEEK);
}

void CPlayCoreStub::NotifyNetBufferProgress(int progress) {
    NotifyInt(PLAYER_NOTIFY_NET_BUFFER_PROGRESS, progress);
}

void CPlayCoreStub::NotifyMvNeedAd() {
    Notify(PLAYER_NOTIFY_MV_NEED_AD);
}

void CPlayCoreStub::NotifyMvBlocked() {
    Notify(PLAYER_NOTIFY_MV_BLOCKED);
}

// Not forwarded: a stutter is the engine's own matter.
void CPlayCoreStub::NotifySongStall() {}
