// The host's receivers: the player's notifications and the service's state, each printed as
// it arrives (on the thread that delivers it), with the events the host's script waits for.
#pragma once

#include <windows.h>

#include "br_service_proxy.h"
#include "media_callback.h"

// Prints one line: the run time in seconds, then the text.
void HostPrint(const char* format, ...);

class CHostReceiver final : public IMediaCallback {
public:
    CHostReceiver();
    ~CHostReceiver();
    CHostReceiver(const CHostReceiver&) = delete;
    CHostReceiver& operator=(const CHostReceiver&) = delete;

    // Manual-reset events, set by the notification of that name.
    HANDLE Started() const { return started_; }
    HANDLE Paused() const { return paused_; }
    HANDLE Resumed() const { return resumed_; }
    HANDLE Ended() const { return ended_; }
    HANDLE Failed() const { return failed_; }

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

private:
    HANDLE started_, paused_, resumed_, ended_, failed_;
};

class CHostServiceSink final : public IServiceNotify {
public:
    void OnServiceLost() override;
    void OnServiceRunning() override;
};
