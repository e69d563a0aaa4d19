// The player and P2P payloads as the byte stream builds them: exact bytes where the protocols
// give them, sizes for every message, and the receivers' defaults surviving short payloads.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "byte_stream.h"
#include "p2p_protocol.h"
#include "player_protocol.h"
#include "stream_test_util.h"

namespace {

using brtest::Hex;
using brtest::Norm;

struct PayloadCase {
    const char* name;
    std::function<void(CStreamWriter&)> write;
    const char* expected;  // hex
};

TEST(ProtocolPayloads, ExactBytes) {
    const PayloadCase cases[] = {
        // The empty text is the single NUL at offset 12; 30 bytes in all.
        {"start down, empty text",
         [](CStreamWriter& w) {
             w.WriteStartDown(P2P_CMD_START_DOWN, Sign(1, 2), "", 0, 0, P2P_START_DOWN_DEFAULT_INT3,
                              0x12345678, 1);
         },
         "05 00 00 00 | 01 00 00 00 02 00 00 00 | 00 | 00 00 00 00 | 00 00 00 00 | 03 00 00 00 |"
         " 78 56 34 12 | 01"},
        {"notification 3, Sign 1 2, code 6",
         [](CStreamWriter& w) {
             w.WriteCmdSignInt(P2P_NOTIFY_3, Sign(1, 2), P2P_CODE_NOT_RESPONDING);
         },
         "03 00 00 00 01 00 00 00 02 00 00 00 06 00 00 00"},
        {"res info reply, empty text", [](CStreamWriter& w) { w.WriteIntString(0, ""); },
         "00 00 00 00 | 00"},
        {"res info reply, 7 and abc", [](CStreamWriter& w) { w.WriteIntString(7, "abc"); },
         "07 00 00 00 | 61 62 63 00"},
        {"player init 7 8 9", [](CStreamWriter& w) { w.WriteCmdInts(PLAYER_CMD_INIT, 7, 8, 9); },
         "01 00 00 00 | 07 00 00 00 | 08 00 00 00 | 09 00 00 00"},
        {"play pause for true",
         [](CStreamWriter& w) { w.WriteCmdByte(PLAYER_NOTIFY_PLAY_PAUSE, 1); }, "02 00 00 00 | 01"},
        {"play fail -1", [](CStreamWriter& w) { w.WriteCmdInt(PLAYER_NOTIFY_PLAY_FAIL, -1); },
         "06 00 00 00 | FF FF FF FF"},
        {"sig change, empty text",
         [](CStreamWriter& w) { w.WriteCmdSignPair(PLAYER_NOTIFY_SIG_CHANGE, 1, 2, 3, 4, ""); },
         "0B 00 00 00 | 01 00 00 00 02 00 00 00 | 03 00 00 00 04 00 00 00 | 00"},
    };
    for (const PayloadCase& c : cases) {
        CStreamWriter writer;
        c.write(writer);
        EXPECT_EQ(Hex(writer), Norm(c.expected)) << c.name;
    }
}

struct SizeCase {
    const char* name;
    std::function<void(CStreamWriter&)> write;
    int size;
};

TEST(ProtocolPayloads, Sizes) {
    const Sign sign(1, 2);
    const SizeCase cases[] = {
        {"player command without fields", [](CStreamWriter& w) { w.WriteInt(PLAYER_CMD_PLAY); }, 4},
        {"player command with an int",
         [](CStreamWriter& w) { w.WriteCmdInt(PLAYER_CMD_SET_VOLUME, 50); }, 8},
        {"set flag", [](CStreamWriter& w) { w.WriteCmdByte(PLAYER_CMD_SET_FLAG, 1); }, 5},
        {"init", [](CStreamWriter& w) { w.WriteCmdInts(PLAYER_CMD_INIT, 0, 0, 0); }, 16},
        {"set quad", [](CStreamWriter& w) { w.WriteCmdQuad(PLAYER_CMD_SET_QUAD, PlayQuad()); }, 20},
        {"set block", [](CStreamWriter& w) { w.WriteCmdBlock(PLAYER_CMD_SET_BLOCK, PlayBlock()); },
         60},
        {"open", [](CStreamWriter& w) { w.WriteCmdPlayRequest(PLAYER_CMD_OPEN, PlayRequest()); },
         2596},
        {"notification without fields",
         [](CStreamWriter& w) { w.WriteInt(PLAYER_NOTIFY_PLAY_END); }, 4},
        {"int notification",
         [](CStreamWriter& w) { w.WriteCmdInt(PLAYER_NOTIFY_NET_BUFFER_PROGRESS, 40); }, 8},
        {"sig change, text of 3",
         [](CStreamWriter& w) { w.WriteCmdSignPair(PLAYER_NOTIFY_SIG_CHANGE, 1, 2, 3, 4, "abc"); },
         24},
        {"start down, text of 5",
         [&](CStreamWriter& w) {
             w.WriteStartDown(P2P_CMD_START_DOWN, sign, "abcde", 0, 0, 3, 0, 0);
         },
         35},
        {"stop down", [&](CStreamWriter& w) { w.WriteCmdSignInt(P2P_CMD_STOP_DOWN, sign, 0); }, 16},
        {"del res", [&](CStreamWriter& w) { w.WriteCmdSignInt(P2P_CMD_DEL_RES, sign, 0); }, 16},
        {"get res info", [&](CStreamWriter& w) { w.WriteCmdSign(P2P_CMD_GET_RES_INFO, sign); }, 12},
        {"enable vip",
         [](CStreamWriter& w) { w.WriteCmdIntByte(P2P_CMD_ENABLE_VIP_SERVICE, 1, 1); }, 9},
        {"stop all", [](CStreamWriter& w) { w.WriteInt(P2P_CMD_STOP_ALL); }, 4},
        {"set sys msg wnd", [](CStreamWriter& w) { w.WriteCmdInt(P2P_CMD_SET_SYS_MSG_WND, 9); }, 8},
        {"notify 1, text of 4",
         [&](CStreamWriter& w) { w.WriteCmdSignStringInt(P2P_NOTIFY_1, sign, "abcd", 1); }, 21},
        {"notify 2", [&](CStreamWriter& w) { w.WriteCmdSign(P2P_NOTIFY_2, sign); }, 12},
        {"notify 4", [&](CStreamWriter& w) { w.WriteCmdSignInts(P2P_NOTIFY_4, sign, 1, 2, 3); },
         24},
        {"notify 5", [&](CStreamWriter& w) { w.WriteCmdSign(P2P_NOTIFY_5, sign); }, 12},
        {"notify 6, text of 2",
         [&](CStreamWriter& w) { w.WriteCmdSignSignString(P2P_NOTIFY_6, sign, sign, "ab"); }, 23},
    };
    for (const SizeCase& c : cases) {
        CStreamWriter writer;
        c.write(writer);
        EXPECT_EQ(writer.GetSize(), c.size) << c.name;
    }
}

TEST(ProtocolPayloads, ShortPayloadsKeepTheReceiversDefaults) {
    // A start-down command that ends after int 2: int 3 and the flag keep the service's
    // defaults, and the Sign and text still arrive.
    CStreamWriter command;
    command.WriteInt(P2P_CMD_START_DOWN);
    command.WriteSign(Sign(1, 2));
    command.WriteText("t");
    command.WriteInt(10);
    command.WriteInt(11);
    CStreamReader reader;
    reader.Attach(command.GetData(), command.GetData() + command.GetSize());
    int id = 0;
    ASSERT_TRUE(reader.ReadInt(id));
    Sign sign;
    std::string text;
    int int1 = 0, int2 = 0, int3 = P2P_START_DOWN_DEFAULT_INT3, tag = 0;
    BYTE flag = 0;
    EXPECT_FALSE(reader.ReadStartDown(sign, text, int1, int2, int3, tag, flag));
    EXPECT_EQ(sign, Sign(1, 2));
    EXPECT_EQ(text, "t");
    EXPECT_EQ(int2, 11);
    EXPECT_EQ(int3, 3);
    EXPECT_EQ(flag, 0);

    // A notification 3 that carries only its Sign keeps the proxy's code 6.
    CStreamWriter notification;
    notification.WriteCmdSign(P2P_NOTIFY_3, Sign(4, 5));
    reader.Attach(notification.GetData(), notification.GetData() + notification.GetSize());
    ASSERT_TRUE(reader.ReadInt(id));
    int code = P2P_CODE_NOT_RESPONDING;
    EXPECT_FALSE(reader.ReadSignInt(sign, code));
    EXPECT_EQ(sign, Sign(4, 5));
    EXPECT_EQ(code, 6);
}

}  // namespace
