// IMediaCallback: the receiver of a player core's notifications. The client's receiver and the
// service's player-core stub implement it. A pure table of 19 operations; the slot order is
// binding (notification n of the player protocol stands for slot n - 1), so never reorder,
// insert or remove an operation. Objects are never deleted through this interface.
#pragma once

#include "sign.h"

class IMediaCallback {
public:
    virtual void NotifyPlayStart() = 0;             // 0
    virtual void NotifyPlayPause(int flag) = 0;     // 1: only its low byte crosses processes
    virtual void NotifyPlayResume() = 0;            // 2
    virtual void NotifyPlayStop() = 0;              // 3
    virtual void NotifyPlayEnd() = 0;               // 4
    virtual void NotifyPlayFail(int code) = 0;      // 5: -1 when the service was lost
    virtual void NotifyPlayStatus(int status) = 0;  // 6: never forwarded by the service
    virtual void NotifyDownloadStart() = 0;         // 7
    virtual void NotifyDownloadEnd() = 0;           // 8
    virtual void NotifyDownloadFail(int code) = 0;  // 9
    virtual void NotifySigChange(Sign first, Sign second, const char* text) = 0;  // 10
    virtual void NotifyPlayerDead() = 0;                                          // 11
    virtual void NotifyDecoderMissing() = 0;                                      // 12
    virtual void NotifySongSwitch() = 0;                                          // 13
    virtual void NotifyMvCanSeek() = 0;                                           // 14
    virtual void NotifyNetBufferProgress(int progress) = 0;                       // 15
    virtual void NotifyMvNeedAd() = 0;                                            // 16
    virtual void NotifyMvBlocked() = 0;                                           // 17
    virtual void NotifySongStall() = 0;  // 18: never forwarded by the service

protected:
    // Not an operation of the table: nobody deletes a receiver through the interface.
    ~IMediaCallback() = default;
};
