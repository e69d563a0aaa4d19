// The player-core proxy's notification side: incoming player notifications dispatched through a
// constant table by number, and the report of a lost service.
#include <array>
#include <string>

#include "byte_stream.h"
#include "player_core_proxy.h"
#include "player_protocol.h"

namespace {

// Reads the notification's fields from the rest of the payload and calls the receiver. A field
// the payload is too short for is passed as its default, 0 or the empty text.
using NotifyHandler = void (*)(IMediaCallback& receiver, CStreamReader& fields);

template <void (IMediaCallback::*Operation)()>
void CallPlain(IMediaCallback& receiver, CStreamReader&) {
    (receiver.*Operation)();
}

template <void (IMediaCallback::*Operation)(int)>
void CallInt(IMediaCallback& receiver, CStreamReader& fields) {
    int value = 0;
    fields.ReadInt(value);
    (receiver.*Operation)(value);
}

// The pause flag travels as one byte and is passed on widened without sign.
void CallPause(IMediaCallback& receiver, CStreamReader& fields) {
    BYTE flag = 0;
    fields.ReadByte(flag);
    receiver.NotifyPlayPause(static_cast<int>(flag));
}

void CallSigChange(IMediaCallback& receiver, CStreamReader& fields) {
    Sign first;
    Sign second;
    std::string text;
    // Reading stops at the first field that does not fit; a Sign cut after its first value
    // keeps that value, as the service reads it.
    fields.ReadSignSignString(first, second, text);
    receiver.NotifySigChange(first, second, text.c_str());
}

// Indexed by notification number. 0 and 7 (NotifyPlayStatus, which the service never sends)
// do nothing; NotifySongStall has no number.
constexpr std::array<NotifyHandler, PLAYER_NOTIFY_LAST + 1> kNotifyTable = {
    nullptr,
    &CallPlain<&IMediaCallback::NotifyPlayStart>,
    &CallPause,
    &CallPlain<&IMediaCallback::NotifyPlayResume>,
    &CallPlain<&IMediaCallback::NotifyPlayStop>,
    &CallPlain<&IMediaCallback::NotifyPlayEnd>,
    &CallInt<&IMediaCallback::NotifyPlayFail>,
    nullptr,
    &CallPlain<&IMediaCallback::NotifyDownloadStart>,
    &CallPlain<&IMediaCallback::NotifyDownloadEnd>,
    &CallInt<&IMediaCallback::NotifyDownloadFail>,
    &CallSigChange,
    &CallPlain<&IMediaCallback::NotifyPlayerDead>,
    &CallPlain<&IMediaCallback::NotifyDecoderMissing>,
    &CallPlain<&IMediaCallback::NotifySongSwitch>,
    &CallPlain<&IMediaCallback::NotifyMvCanSeek>,
    &CallInt<&IMediaCallback::NotifyNetBufferProgress>,
    &CallPlain<&IMediaCallback::NotifyMvNeedAd>,
    &CallPlain<&IMediaCallback::NotifyMvBlocked>,
};
static_assert(PLAYER_NOTIFY_PLAY_PAUSE == 2 && PLAYER_NOTIFY_PLAY_FAIL == 6 &&
              PLAYER_NOTIFY_PLAY_STATUS == 7 && PLAYER_NOTIFY_SIG_CHANGE == 11 &&
              PLAYER_NOTIFY_NET_BUFFER_PROGRESS == 16 && PLAYER_NOTIFY_LAST == 18);

// The cached states in which a lost service ends a playback the client believes in.
bool EndsWithLoss(int state) {
    return state == 1 || state == 2 || state == 3 || state == 5;
}

}  // namespace

HRESULT CPlayerCoreProxy::OnNotify(ICallMessage* message) {
    if (message == nullptr) {
        return E_FAIL;
    }
    CallMsgRecord* record = nullptr;
    if (message->GetRecord(&record) != S_OK || record == nullptr) {
        return E_FAIL;
    }
    IMediaCallback* receiver = callback_.load();
    if (receiver == nullptr) {
        return E_FAIL;
    }
    const auto* payload = static_cast<const uint8_t*>(record->payload);
    CStreamReader fields;
    fields.Attach(payload, payload == nullptr ? nullptr : payload + record->length);
    int number = 0;
    fields.ReadInt(number);
    if (number >= 0 && number < static_cast<int>(kNotifyTable.size()) &&
        kNotifyTable[number] != nullptr) {
        kNotifyTable[number](*receiver, fields);
    }
    return 0;
}

void CPlayerCoreProxy::ResetOnServiceLost() {
    unsigned generation = 0;
    if (!EndsWithLoss(playObject_.GetStateAndGeneration(&generation))) {
        return;
    }
    if (IMediaCallback* receiver = callback_.load()) {
        receiver->NotifyPlayFail(-1);
    }
    // A refresh that brought a state while the receiver was being told is newer than the loss
    // and stands.
    playObject_.MarkLost(generation);
}
