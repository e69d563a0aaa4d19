// Feeds arbitrary payloads to the player-core stub's Dispatch against a core of the fuzzer's
// own. The first two bytes shape the core and its play object (texts without their NUL, an
// array whose count lies, no object, a failing GetPlayObject, no reply outs); the rest is the
// payload. Beyond crashes and reads past an end (the sanitizers), it checks that exactly the
// commands with a reply have one, of the right length.
#include <cstdint>
#include <cstring>
#include <string>

#include "fake_call_message.h"
#include "fake_player_core.h"
#include "msg_ids.h"
#include "play_core_stub.h"
#include "player_protocol.h"
#include "service_fuzz_support.h"

namespace {

using servicetest::FakeCallMessage;
using servicetest::FakePlayerCore;
using servicetest::FakePlayObject;

FakePlayerCore* g_core = nullptr;
CPlayCoreStub* g_stub = nullptr;

void Stop() {
    delete g_stub;
    delete g_core;
}

bool HasIntReply(int command) {
    switch (command) {
        case 1:
        case 3:
        case 4:
        case 5:
        case 6:
        case 7:
        case 8:
        case 9:
        case 10:
        case 15:
        case 16:
        case 18:
            return true;
        default:
            return false;
    }
}

void Shape(uint8_t shape, uint8_t size) {
    FakePlayObject::Values& v = g_core->object.values;
    v = FakePlayObject::Values();
    v.unterminatedTexts = (shape & 0x01) != 0;
    v.hasData = (shape & 0x02) != 0;
    v.data.assign(8, 0x5A5A5A5A);
    // Within the array, a negative count, or one whose byte length does not fit an int.
    v.count = size < 0x80 ? size % 9 : size < 0xC0 ? -static_cast<int>(size) : 0x20000000 + size;
    v.textA.assign(size % 40, 'a');
    v.textC.assign(size % 7, 'c');
    v.state = size;
    g_core->givesObject = (shape & 0x04) == 0;
    g_core->playObjectResult = (shape & 0x08) ? 1 : 0;
    g_core->result = static_cast<int>(size * 0x01010101u);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    if (!g_stub) {
        servicetest::StartFuzzService(&Stop);
        g_core = new FakePlayerCore;
        g_stub = new CPlayCoreStub(g_core);
    }
    const uint8_t shape = data[0];
    Shape(shape, data[1]);
    g_core->ClearCalls();
    const std::string payload(reinterpret_cast<const char*>(data + 2), size - 2);
    FakeCallMessage message(CHANNEL_PLAYER, payload);
    const bool replyOuts = (shape & 0x10) == 0;
    if (!replyOuts) {
        message.DropReplyOuts();
    }
    const HRESULT result = g_stub->Dispatch(&message);
    FUZZ_CHECK(result == (payload.empty() ? E_FAIL : S_OK));

    int command = 0;
    if (payload.size() >= 4) {
        std::memcpy(&command, payload.data(), 4);
    }
    const bool ran = payload.size() >= 4 && command >= 1 && command <= 19 && command != 2;
    FUZZ_CHECK(g_core->Calls().size() == (ran ? 1u : 0u));
    if (!replyOuts || !ran) {
        FUZZ_CHECK(!message.HasReply());
    } else if (command == PLAYER_CMD_GET_PLAY_OBJECT) {
        const bool snapshot = g_core->givesObject && g_core->playObjectResult == 0;
        FUZZ_CHECK(message.HasReply() == snapshot);
        FUZZ_CHECK(!snapshot || message.ReplyLength() >= 125);
    } else {
        FUZZ_CHECK(message.HasReply() == HasIntReply(command));
        FUZZ_CHECK(!message.HasReply() || message.ReplyLength() == PLAYER_INT_REPLY_SIZE);
    }
    return 0;
}
