// The commands of the player-core proxy (the player protocol's proxy side).
#include "player_core_proxy.h"

#include "byte_stream.h"
#include "msg_ids.h"
#include "player_protocol.h"
#include "service_link.h"

namespace {

// What a synchronous command gives when the service does not answer.
constexpr int kFailed = 1;
constexpr int kFailedInit = 0;
constexpr int kFailedSetNumberD = 0;

CStreamWriter Command(int command) {
    CStreamWriter payload;
    payload.WriteInt(command);
    return payload;
}

CStreamWriter CommandInt(int command, int value) {
    CStreamWriter payload;
    payload.WriteCmdInt(command, value);
    return payload;
}

}  // namespace

int CPlayerCoreProxy::CallInt(const CStreamWriter& payload, int failure) {
    ServiceReply reply;
    if (!CallService(CHANNEL_PLAYER, payload, reply)) {
        return failure;
    }
    CStreamReader reader;
    reply.AttachReader(reader);
    int result = failure;
    return reader.ReadInt(result) ? result : failure;
}

int CPlayerCoreProxy::Init(IMediaCallback* receiver, int a, int b, int c) {
    callback_.store(receiver);
    CStreamWriter payload;
    payload.WriteCmdInts(PLAYER_CMD_INIT, a, b, c);
    ServiceReply reply;
    if (!CallService(CHANNEL_PLAYER, payload, reply)) {
        return kFailedInit;
    }
    CStreamReader reader;
    reply.AttachReader(reader);
    BYTE result = 0;
    return reader.ReadByte(result) ? static_cast<int>(result) : kFailedInit;
}

void CPlayerCoreProxy::UnInit() {
    callback_.store(nullptr);
}

int CPlayerCoreProxy::Open(PlayRequest* request) {
    if (request == nullptr) {
        return kFailed;
    }
    CStreamWriter payload;
    payload.WriteCmdPlayRequest(PLAYER_CMD_OPEN, *request);
    return CallInt(payload, kFailed);
}

int CPlayerCoreProxy::Play() {
    return CallInt(Command(PLAYER_CMD_PLAY), kFailed);
}
int CPlayerCoreProxy::Pause() {
    return CallInt(Command(PLAYER_CMD_PAUSE), kFailed);
}
int CPlayerCoreProxy::Stop() {
    return CallInt(Command(PLAYER_CMD_STOP), kFailed);
}
int CPlayerCoreProxy::QueryStatus() {
    return CallInt(Command(PLAYER_CMD_QUERY_STATUS), kFailed);
}

int CPlayerCoreProxy::SetPosition(int position) {
    return CallInt(CommandInt(PLAYER_CMD_SET_POSITION, position), kFailed);
}

int CPlayerCoreProxy::SetVolume(int volume) {
    return CallInt(CommandInt(PLAYER_CMD_SET_VOLUME, volume), kFailed);
}

int CPlayerCoreProxy::SetFlag(BYTE flag) {
    CStreamWriter payload;
    payload.WriteCmdByte(PLAYER_CMD_SET_FLAG, flag);
    return CallInt(payload, kFailed);
}

int CPlayerCoreProxy::SetNumberA(int value) {
    return CallInt(CommandInt(PLAYER_CMD_SET_NUMBER_A, value), kFailed);
}

int CPlayerCoreProxy::QueryNumber(int value) {
    return CallInt(CommandInt(PLAYER_CMD_QUERY_NUMBER, value), kFailed);
}

int CPlayerCoreProxy::SetNumberD(int value) {
    return CallInt(CommandInt(PLAYER_CMD_SET_NUMBER_D, value), kFailedSetNumberD);
}

void CPlayerCoreProxy::SetQuad(PlayQuad* quad) {
    if (quad != nullptr) {
        CStreamWriter payload;
        payload.WriteCmdQuad(PLAYER_CMD_SET_QUAD, *quad);
        PostService(CHANNEL_PLAYER, payload);
    }
}

void CPlayerCoreProxy::SetNumberB(int value) {
    PostService(CHANNEL_PLAYER, CommandInt(PLAYER_CMD_SET_NUMBER_B, value));
}

void CPlayerCoreProxy::SetNumberC(int value) {
    PostService(CHANNEL_PLAYER, CommandInt(PLAYER_CMD_SET_NUMBER_C, value));
}

void CPlayerCoreProxy::SetBlock(PlayBlock* block) {
    if (block != nullptr) {
        CStreamWriter payload;
        payload.WriteCmdBlock(PLAYER_CMD_SET_BLOCK, *block);
        PostService(CHANNEL_PLAYER, payload);
    }
}

void CPlayerCoreProxy::SetNumberE(int value) {
    PostService(CHANNEL_PLAYER, CommandInt(PLAYER_CMD_SET_NUMBER_E, value));
}

int CPlayerCoreProxy::GetPlayObject(IPlayObject** object) {
    ServiceReply reply;
    const bool answered = CallService(CHANNEL_PLAYER, Command(PLAYER_CMD_GET_PLAY_OBJECT), reply);
    if (answered) {
        playObject_.Refresh(reply.Data(), reply.Length());
    }
    if (object != nullptr) {
        *object = &playObject_;
    }
    return answered ? 0 : kFailed;
}
