#include "p2p_stub.h"

#include <cstdint>
#include <string>

#include "byte_stream.h"
#include "msg_center.h"
#include "p2p_protocol.h"
#include "service_globals.h"
#include "service_message.h"
#include "service_msg_center.h"

namespace {

// One command: its fields read from the reader (each preset to its default), the engine call,
// the reply when the command has one. `self` is the observer every download gets: the stub.
typedef void (*P2PCommand)(const P2PEngineFunctions& engine, P2PObserver* self,
                           CStreamReader& reader, CallMsgRecord* record);

void StartDownCommand(const P2PEngineFunctions& engine, P2PObserver* self, CStreamReader& reader,
                      CallMsgRecord* record) {
    Sign sign;
    std::string text;
    int value1 = 0;
    int value2 = 0;
    int value3 = P2P_START_DOWN_DEFAULT_INT3;
    int tag = 0;  // the client observer's address: read and never used
    BYTE flag = 0;
    reader.ReadStartDown(sign, text, value1, value2, value3, tag, flag);
    // value1 is handed over by address; whatever the engine writes there is not read.
    const bool accepted =
        engine.StartDown(&sign, text.c_str(), &value1, value2, value3, self, flag != 0);
    const BYTE result = accepted ? 1 : 0;
    StoreReply(g_ServiceMsgCenter.load(), record, &result, P2P_START_DOWN_REPLY_SIZE);
}

void StopDownCommand(const P2PEngineFunctions& engine, P2PObserver* self, CStreamReader& reader,
                     CallMsgRecord*) {
    Sign sign;
    reader.ReadSign(sign);  // the observer tag after it is not read
    engine.StopDown(&sign, self);
}

void DelResCommand(const P2PEngineFunctions& engine, P2PObserver* self, CStreamReader& reader,
                   CallMsgRecord*) {
    Sign sign;
    reader.ReadSign(sign);
    engine.DelRes(&sign, self);
}

void GetResInfoCommand(const P2PEngineFunctions& engine, P2PObserver*, CStreamReader& reader,
                       CallMsgRecord* record) {
    Sign sign;
    reader.ReadSign(sign);
    int value = 0;
    std::string text;
    engine.GetResInfo(&sign, &value, &text);
    // The declared length is the whole encoded reply: the int, the text up to its first NUL,
    // and one NUL.
    CStreamWriter reply;
    reply.WriteIntString(value, text.c_str());
    StoreReply(g_ServiceMsgCenter.load(), record, reply.GetData(), reply.GetSize());
}

void EnableVipCommand(const P2PEngineFunctions& engine, P2PObserver*, CStreamReader& reader,
                      CallMsgRecord*) {
    int value = 0;
    BYTE flag = 0;
    reader.ReadIntByte(value, flag);
    engine.EnableVIPService(value, flag != 0, 0);
}

void StopAllCommand(const P2PEngineFunctions& engine, P2PObserver*, CStreamReader&,
                    CallMsgRecord*) {
    engine.StopAll();
}

void SetSysMsgWndCommand(const P2PEngineFunctions& engine, P2PObserver*, CStreamReader& reader,
                         CallMsgRecord*) {
    int window = 0;
    reader.ReadInt(window);
    engine.SetSysMsgWnd(reinterpret_cast<HWND>(static_cast<intptr_t>(window)));
}

// Commands P2P_CMD_FIRST (5) to P2P_CMD_LAST (11), in order.
constexpr P2PCommand kCommands[] = {
    &StartDownCommand,     // 5
    &StopDownCommand,      // 6
    &DelResCommand,        // 7
    &GetResInfoCommand,    // 8
    &EnableVipCommand,     // 9
    &StopAllCommand,       // 10
    &SetSysMsgWndCommand,  // 11
};
static_assert(sizeof kCommands / sizeof kCommands[0] == P2P_CMD_LAST - P2P_CMD_FIRST + 1);

}  // namespace

CP2PStub::CP2PStub(const P2PEngineFunctions& engine) : m_engine(&engine) {}

CP2PStub::~CP2PStub() = default;

HRESULT CP2PStub::Dispatch(ICallMessage* message) {
    CallMsgRecord* record = GetMessageRecord(message);
    if (!record || !record->payload) {
        return E_FAIL;
    }
    CStreamReader reader;
    AttachPayload(reader, *record);
    int id = 0;
    if (!reader.ReadInt(id)) {
        return S_OK;
    }
    if (id >= P2P_CMD_FIRST && id <= P2P_CMD_LAST) {
        kCommands[id - P2P_CMD_FIRST](*m_engine, this, reader, record);
    }
    return S_OK;
}
