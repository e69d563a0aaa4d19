// CP2PStub: the service side of the download road. Dispatch executes the P2P commands of
// CHANNEL_P2P (5 to 11) on the download engine, and the stub is the one observer the service
// ever hands to the engine: its slots 1 to 6 carry every engine report back to the proxy as the
// P2P notification of the same number; slot 7 keeps the empty inherited body.
#pragma once

#include <windows.h>

#include "p2p_engine.h"
#include "p2p_observer.h"
#include "relayhub.h"

class CP2PStub final : public P2PObserver {
public:
    // The engine it calls: swarmget's own functions, or a table of the caller's (tests).
    explicit CP2PStub(const P2PEngineFunctions& engine = SwarmgetEngine());
    ~CP2PStub() override;
    CP2PStub(const CP2PStub&) = delete;
    CP2PStub& operator=(const CP2PStub&) = delete;

    // Executes one command on the call center's delivery thread. E_FAIL for a null message, a
    // null record or a record without a payload; otherwise 0, whatever the engine answered.
    // Fields the payload is too short for keep their defaults; a payload under 4 bytes carries
    // no command. Commands 5 and 8 reply through g_ServiceMsgCenter's reply buffers.
    HRESULT Dispatch(ICallMessage* message);

    // The forwarders, on the engine's threads: each sends notification 1 to 6 to the proxy,
    // or drops it while there is no message center (service_notify.h).
    void OnP2PNotify1(const Sign& sign, const char* text, int value) override;
    void OnP2PNotify2(const Sign& sign) override;
    void OnP2PNotify3(const Sign& sign, int code) override;
    void OnP2PNotify4(const Sign& sign, int value1, int value2, int value3) override;
    void OnP2PNotify5(const Sign& sign) override;
    void OnP2PNotify6(const Sign& first, const Sign& second, const char* text) override;

private:
    const P2PEngineFunctions* m_engine;
};
