// Feeds arbitrary payloads to the P2P stub's Dispatch against a download engine of the
// fuzzer's own. The first byte shapes the engine's answers (StartDown accepted or not, the
// length of GetResInfo's text); the rest is the payload. Beyond crashes and reads past an end,
// it checks that each command calls the engine once and that only commands 5 and 8 reply, with
// their declared lengths.
#include <cstdint>
#include <cstring>
#include <string>

#include "fake_call_message.h"
#include "fake_p2p_engine.h"
#include "msg_ids.h"
#include "p2p_protocol.h"
#include "p2p_stub.h"
#include "service_fuzz_support.h"

namespace {

namespace fakep2p = servicetest::fakep2p;

CP2PStub* g_stub = nullptr;

void Stop() {
    delete g_stub;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    if (!g_stub) {
        servicetest::StartFuzzService(&Stop);
        g_stub = new CP2PStub(fakep2p::Functions());
    }
    const uint8_t shape = data[0];
    fakep2p::Reset();
    const bool accepted = (shape & 0x80) != 0;
    // A text with a NUL of its own now and then: the reply ends at it.
    std::string text(shape & 0x3F, 't');
    if ((shape & 0x40) != 0 && !text.empty()) {
        text[text.size() / 2] = '\0';
    }
    fakep2p::SetStartDownResult(accepted);
    fakep2p::SetResInfo(shape, text);

    const std::string payload(reinterpret_cast<const char*>(data + 1), size - 1);
    servicetest::FakeCallMessage message(CHANNEL_P2P, payload);
    const HRESULT result = g_stub->Dispatch(&message);
    FUZZ_CHECK(result == (payload.empty() ? E_FAIL : S_OK));

    int id = 0;
    if (payload.size() >= 4) {
        std::memcpy(&id, payload.data(), 4);
    }
    const bool command = payload.size() >= 4 && id >= P2P_CMD_FIRST && id <= P2P_CMD_LAST;
    FUZZ_CHECK(fakep2p::Calls().size() == (command ? 1u : 0u));
    if (command && id == P2P_CMD_START_DOWN) {
        FUZZ_CHECK(message.ReplyLength() == 1);
        FUZZ_CHECK(message.Reply() == std::string(1, accepted ? '\1' : '\0'));
    } else if (command && id == P2P_CMD_GET_RES_INFO) {
        FUZZ_CHECK(message.ReplyLength() == static_cast<int>(4 + std::strlen(text.c_str()) + 1));
    } else {
        FUZZ_CHECK(!message.HasReply());
    }
    return 0;
}
