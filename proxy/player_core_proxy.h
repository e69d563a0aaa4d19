// CPlayerCoreProxy: the IPlayerCore the client gets from GetPlayerCoreProxy. Each operation
// becomes one CHANNEL_PLAYER command to the service; each player notification from the service
// becomes one call on the client's IMediaCallback; a lost service is reported to the client as
// a failed playback. The last play-object reply is kept in the embedded CPlayObject.
//
// Threads: the operations run on the client's thread, OnNotify on the call center's delivery
// thread, ResetOnServiceLost on the watchdog thread (under g_ProxyLock). None of them takes a
// lock of the proxy's own; the receiver is one pointer, written and read whole, and the play
// object guards itself (play_object.h).
#pragma once

#include <atomic>

#include "play_object_cache.h"
#include "player_core.h"
#include "relayhub.h"

class CStreamWriter;

class CPlayerCoreProxy final : public IPlayerCore {
public:
    CPlayerCoreProxy() = default;
    // Destroys the play object and nothing else: nothing is sent, the receiver is not told.
    ~CPlayerCoreProxy() = default;
    CPlayerCoreProxy(const CPlayerCoreProxy&) = delete;
    CPlayerCoreProxy& operator=(const CPlayerCoreProxy&) = delete;

    // Keeps the receiver before anything is sent, so it stays even when the command fails.
    // The reply's first byte, or 0 on failure.
    int Init(IMediaCallback* receiver, int a, int b, int c) override;
    // Forgets the receiver; nothing is sent.
    void UnInit() override;
    // The synchronous commands: the service's int result, or 1 on failure. A null request is
    // not sent and fails.
    int Open(PlayRequest* request) override;
    int Play() override;
    int Pause() override;
    int Stop() override;
    int SetPosition(int position) override;
    int SetVolume(int volume) override;
    int SetFlag(BYTE flag) override;
    int SetNumberA(int value) override;
    int QueryNumber(int value) override;
    // The service's int result, or 0 on failure.
    int SetNumberD(int value) override;
    int QueryStatus() override;
    // The one-way commands: posted, no outcome. A null record or block is not sent.
    void SetQuad(PlayQuad* quad) override;
    void SetNumberB(int value) override;
    void SetNumberC(int value) override;
    void SetBlock(PlayBlock* block) override;
    void SetNumberE(int value) override;
    // Refreshes the play object from the service's reply and returns 0; when the service does
    // not answer, hands out the object unchanged and returns 1. *object is set on both paths.
    int GetPlayObject(IPlayObject** object) override;

    // One player notification: E_FAIL for a null message, a message without a record or no
    // receiver; otherwise 0, after calling the receiver for numbers 1 to 6 and 8 to 18.
    HRESULT OnNotify(ICallMessage* message);
    // The service is lost: while the cached state is 1, 2, 3 or 5 the receiver (when there is
    // one) hears NotifyPlayFail(-1) and the state becomes 6; other states are left alone.
    void ResetOnServiceLost();

    CPlayObject& PlayObject() { return playObject_; }

private:
    int CallInt(const CStreamWriter& payload, int failure);

    std::atomic<IMediaCallback*> callback_{nullptr};
    CPlayObject playObject_;
};
