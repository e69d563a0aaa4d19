// The P2P stub's observer slots 1 to 6: each engine report becomes the P2P notification of the
// same number, written after its id in the order of the slot's arguments.
#include "byte_stream.h"
#include "msg_ids.h"
#include "p2p_protocol.h"
#include "p2p_stub.h"
#include "service_notify.h"

void CP2PStub::OnP2PNotify1(const Sign& sign, const char* text, int value) {
    CStreamWriter payload;
    payload.WriteCmdSignStringInt(P2P_NOTIFY_1, sign, text, value);
    SendServiceNotification(CHANNEL_P2P, payload);
}

void CP2PStub::OnP2PNotify2(const Sign& sign) {
    CStreamWriter payload;
    payload.WriteCmdSign(P2P_NOTIFY_2, sign);
    SendServiceNotification(CHANNEL_P2P, payload);
}

void CP2PStub::OnP2PNotify3(const Sign& sign, int code) {
    CStreamWriter payload;
    payload.WriteCmdSignInt(P2P_NOTIFY_3, sign, code);
    SendServiceNotification(CHANNEL_P2P, payload);
}

void CP2PStub::OnP2PNotify4(const Sign& sign, int value1, int value2, int value3) {
    CStreamWriter payload;
    payload.WriteCmdSignInts(P2P_NOTIFY_4, sign, value1, value2, value3);
    SendServiceNotification(CHANNEL_P2P, payload);
}

void CP2PStub::OnP2PNotify5(const Sign& sign) {
    CStreamWriter payload;
    payload.WriteCmdSign(P2P_NOTIFY_5, sign);
    SendServiceNotification(CHANNEL_P2P, payload);
}

void CP2PStub::OnP2PNotify6(const Sign& first, const Sign& second, const char* text) {
    CStreamWriter payload;
    payload.WriteCmdSignSignString(P2P_NOTIFY_6, first, second, text);
    SendServiceNotification(CHANNEL_P2P, payload);
}
