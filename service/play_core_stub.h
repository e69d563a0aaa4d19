// CPlayCoreStub: the service side of the player protocol. It owns the player engine: it loads
// the engine library, takes its IPlayerCore from the export "GetPlayerCore" and registers
// itself as the engine's IMediaCallback. Dispatch executes the player commands of
// CHANNEL_PLAYER on the core and builds their replies; the 19 notification operations forward
// the engine's calls to the proxy as player notifications (NotifyPlayStatus and NotifySongStall
// are deliberately silent).
#pragma once

#include <windows.h>

#include "media_callback.h"
#include "player_core.h"
#include "relayhub.h"

// The engine library's name and its export.
constexpr const char* PLAY_ENGINE_LIBRARY = "PlayEngine.dll";
constexpr const char* PLAY_ENGINE_EXPORT = "GetPlayerCore";

class CPlayCoreStub final : public IMediaCallback {
public:
    // Loads PLAY_ENGINE_LIBRARY and initialises its core with this stub as receiver and 0, 0, 0.
    // Without the library, the export or a core, the stub holds no core and every command fails.
    CPlayCoreStub();
    // The same with another library name (tests: a missing library, one without the export).
    explicit CPlayCoreStub(const char* library);
    // A core the caller owns, initialised the same way; no library is loaded (tests' engines).
    explicit CPlayCoreStub(IPlayerCore* core);
    // The core's UnInit when there is one, then FreeLibrary of the library when it was loaded.
    ~CPlayCoreStub();
    CPlayCoreStub(const CPlayCoreStub&) = delete;
    CPlayCoreStub& operator=(const CPlayCoreStub&) = delete;

    // The core, null when missing. It never changes while the stub lives, so the program's main
    // thread may read it while Dispatch runs on the delivery thread.
    IPlayerCore* GetCore() const { return m_pCore; }

    // Executes one command on the call center's delivery thread. E_FAIL when there is no
    // message, no core, no record or no payload; otherwise 0, whatever the engine returned (its
    // result travels in the reply). Fields the payload is too short for keep their defaults; a
    // payload under 4 bytes, command 2, 0, negative numbers and numbers above 19 do nothing.
    HRESULT Dispatch(ICallMessage* message);

    // The forwarders, on the engine's threads (play_core_notify.cpp).
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
    void Load(const char* library);
    void Attach(IPlayerCore* core);

    HMODULE m_hEngine;
    IPlayerCore* m_pCore;
};
