// CMediaPlay: the client's receiver of the player's notifications, registered with the core by
// CPlayerCtrl::Init. Each operation first stores its play state in the main window (where it has
// one) and then writes its log line; arguments are ignored. The operations run on the proxy's
// delivery thread and, for a lost service's NotifyPlayFail(-1), on its watchdog thread.
#pragma once

#include "media_callback.h"

class CMediaPlay final : public IMediaCallback {
public:
    // Does nothing; declared so that g_MediaPlay registers its destruction at exit in the
    // program's order of globals.
    CMediaPlay() = default;
    ~CMediaPlay();
    void NotifyPlayStart() override;
    void NotifyPlayPause(int flag) override;
    void NotifyPlayResume() override;
    void NotifyPlayStop() override;
    void NotifyPlayEnd() override;
    void NotifyPlayFail(int code) override;
    void NotifyPlayStatus(int status) override;
    void NotifyDownloadStart() override;
    void NotifyDownloadEnd() override;
    void NotifyDownloadFail(int code) override;
    void NotifySigChange(Sign first, Sign second, const char* text) override;
    void NotifyPlayerDead() override;
    void NotifyDecoderMissing() override;
    void NotifySongSwitch() override;
    void NotifyMvCanSeek() override;
    void NotifyNetBufferProgress(int progress) override;
    void NotifyMvNeedAd() override;
    void NotifyMvBlocked() override;
    void NotifySongStall() override;
};

// The client's one receiver, living until the process ends.
extern CMediaPlay g_MediaPlay;
