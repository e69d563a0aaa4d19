#include "play_core_commands.h"

#include "byte_stream.h"
#include "play_object_snapshot.h"
#include "player_protocol.h"
#include "service_globals.h"
#include "service_message.h"
#include "service_msg_center.h"

namespace {

// How a command answers: with the core's int result (4 bytes), or not at all (one-way).
enum class Reply { Int, None };

struct PlayerCommand {
    // Reads the fields, calls the core; returns its int result (0 for the one-way operations).
    int (*run)(IPlayerCore& core, CStreamReader& reader);
    Reply reply;
};

// A field preset to its default; a read that finds too few bytes leaves the default.
int ReadIntOr(CStreamReader& reader, int fallback) {
    int value = fallback;
    reader.ReadInt(value);
    return value;
}

int Init(IPlayerCore& core, CStreamReader& reader) {
    int a = 0;
    int b = 0;
    int c = 0;
    reader.ReadInts(a, b, c);
    // The proxy keeps its receiver locally; the engine's receiver is this stub, registered when
    // the engine was loaded. Only the second int reaches the core.
    return core.SetNumberD(b);
}

int Open(IPlayerCore& core, CStreamReader& reader) {
    PlayRequest request;  // cleared; the 2592 bytes are copied only when all are there
    reader.ReadPlayRequest(request);
    return core.Open(&request);
}

int Play(IPlayerCore& core, CStreamReader&) {
    return core.Play();
}

int Pause(IPlayerCore& core, CStreamReader&) {
    return core.Pause();
}

int Stop(IPlayerCore& core, CStreamReader&) {
    return core.Stop();
}

int SetPosition(IPlayerCore& core, CStreamReader& reader) {
    return core.SetPosition(ReadIntOr(reader, 0));
}

int SetVolume(IPlayerCore& core, CStreamReader& reader) {
    return core.SetVolume(ReadIntOr(reader, 0));
}

int SetFlag(IPlayerCore& core, CStreamReader& reader) {
    BYTE flag = 0;
    reader.ReadByte(flag);
    return core.SetFlag(flag);
}

int SetNumberA(IPlayerCore& core, CStreamReader& reader) {
    return core.SetNumberA(ReadIntOr(reader, 0));
}

int SetQuad(IPlayerCore& core, CStreamReader& reader) {
    PlayQuad quad;  // all zero unless the 16 bytes are there
    reader.ReadQuad(quad);
    core.SetQuad(&quad);
    return 0;
}

int SetNumberB(IPlayerCore& core, CStreamReader& reader) {
    core.SetNumberB(ReadIntOr(reader, 0));
    return 0;
}

int SetNumberC(IPlayerCore& core, CStreamReader& reader) {
    core.SetNumberC(ReadIntOr(reader, 0));
    return 0;
}

int SetBlock(IPlayerCore& core, CStreamReader& reader) {
    PlayBlock block;  // all zero unless the 56 bytes are there
    reader.ReadBlock(block);
    core.SetBlock(&block);
    return 0;
}

int QueryNumber(IPlayerCore& core, CStreamReader& reader) {
    return core.QueryNumber(ReadIntOr(reader, PLAYER_QUERY_NUMBER_DEFAULT));
}

int SetNumberD(IPlayerCore& core, CStreamReader& reader) {
    return core.SetNumberD(ReadIntOr(reader, 0));
}

int SetNumberE(IPlayerCore& core, CStreamReader& reader) {
    core.SetNumberE(ReadIntOr(reader, 0));
    return 0;
}

int QueryStatus(IPlayerCore& core, CStreamReader&) {
    return core.QueryStatus();
}

// Commands 1 to 18 by number; 2 has no entry and 19 is the snapshot.
constexpr PlayerCommand kCommands[] = {
    {nullptr, Reply::None},      // 0
    {&Init, Reply::Int},         // 1 PLAYER_CMD_INIT
    {nullptr, Reply::None},      // 2: never sent
    {&Open, Reply::Int},         // 3 PLAYER_CMD_OPEN
    {&Play, Reply::Int},         // 4 PLAYER_CMD_PLAY
    {&Pause, Reply::Int},        // 5 PLAYER_CMD_PAUSE
    {&Stop, Reply::Int},         // 6 PLAYER_CMD_STOP
    {&SetPosition, Reply::Int},  // 7 PLAYER_CMD_SET_POSITION
    {&SetVolume, Reply::Int},    // 8 PLAYER_CMD_SET_VOLUME
    {&SetFlag, Reply::Int},      // 9 PLAYER_CMD_SET_FLAG
    {&SetNumberA, Reply::Int},   // 10 PLAYER_CMD_SET_NUMBER_A
    {&SetQuad, Reply::None},     // 11 PLAYER_CMD_SET_QUAD
    {&SetNumberB, Reply::None},  // 12 PLAYER_CMD_SET_NUMBER_B
    {&SetNumberC, Reply::None},  // 13 PLAYER_CMD_SET_NUMBER_C
    {&SetBlock, Reply::None},    // 14 PLAYER_CMD_SET_BLOCK
    {&QueryNumber, Reply::Int},  // 15 PLAYER_CMD_QUERY_NUMBER
    {&SetNumberD, Reply::Int},   // 16 PLAYER_CMD_SET_NUMBER_D
    {&SetNumberE, Reply::None},  // 17 PLAYER_CMD_SET_NUMBER_E
    {&QueryStatus, Reply::Int},  // 18 PLAYER_CMD_QUERY_STATUS
};
static_assert(sizeof kCommands / sizeof kCommands[0] == PLAYER_CMD_GET_PLAY_OBJECT);

// Command 19: the snapshot of the core's play object, when the core gives one.
void GetPlayObject(IPlayerCore& core, CallMsgRecord* record) {
    IPlayObject* object = nullptr;
    const int result = core.GetPlayObject(&object);
    if (result != 0 || !object) {
        return;
    }
    CStreamWriter snapshot;
    snapshot.WriteInt(result);
    WritePlayObjectSnapshot(*object, snapshot);
    StoreReply(g_ServiceMsgCenter.load(), record, snapshot.GetData(), snapshot.GetSize());
}

}  // namespace

void RunPlayerCommand(int command, IPlayerCore& core, CStreamReader& reader,
                      CallMsgRecord* record) {
    if (command == PLAYER_CMD_GET_PLAY_OBJECT) {
        GetPlayObject(core, record);
        return;
    }
    if (command < PLAYER_CMD_FIRST || command >= PLAYER_CMD_GET_PLAY_OBJECT) {
        return;
    }
    const PlayerCommand& entry = kCommands[command];
    if (!entry.run) {
        return;
    }
    const int result = entry.run(core, reader);
    if (entry.reply == Reply::Int) {
        StoreIntReply(g_ServiceMsgCenter.load(), record, result);
    }
}
