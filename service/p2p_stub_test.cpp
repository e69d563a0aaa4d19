// The P2P stub's Dispatch as a table of exact bytes: each command payload, the engine call it
// makes (with the defaults of short payloads) and the exact reply; the failures; and one
// command on the real download engine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_call_message.h"
#include "fake_p2p_engine.h"
#include "msg_ids.h"
#include "p2p_stub.h"
#include "service_globals.h"
#include "service_test_fixture.h"
#include "stream_test_util.h"

namespace servicetest {
namespace {

using Calls = std::vector<std::string>;
using brtest::Norm;

class P2PStubTest : public ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        fakep2p::Reset();
    }

    CP2PStub stub_{fakep2p::Functions()};
};

struct P2PCase {
    const char* name;
    const char* payload;  // hex; "abc" written as 61 62 63
    Calls calls;
    const char* reply;  // hex; null: no reply
    // The engine's answers: StartDown's, and GetResInfo's value and text.
    bool accepted = true;
    int resValue = 0;
    std::string resText = "";
};

TEST_F(P2PStubTest, EachCommandCallsTheEngineAndReplies) {
    const P2PCase cases[] = {
        {"start down, every field",
         "05 00 00 00 | 01 00 00 00 02 00 00 00 | 61 62 00 | 07 00 00 00 | 08 00 00 00 |"
         " 09 00 00 00 | 78 56 34 12 | 01",
         {"StartDown(1:2,'ab',7,8,9,true)"},
         "01"},
        {"start down refused",
         "05 00 00 00 | 01 00 00 00 02 00 00 00 | 00",
         {"StartDown(1:2,'',0,0,3,false)"},
         "00",
         false,
         0,
         ""},
        {"start down, only a Sign",
         "05 00 00 00 | 01 00 00 00 02 00 00 00",
         {"StartDown(1:2,'',0,0,3,false)"},
         "01"},
        {"start down, no fields", "05 00 00 00", {"StartDown(0:0,'',0,0,3,false)"}, "01"},
        {"start down ending after int 2",
         "05 00 00 00 | 01 00 00 00 02 00 00 00 | 00 | 07 00 00 00 | 08 00 00 00",
         {"StartDown(1:2,'',7,8,3,false)"},
         "01"},
        {"start down, the text without its NUL",
         "05 00 00 00 | 01 00 00 00 02 00 00 00 | 61 62 63",
         {"StartDown(1:2,'',0,0,3,false)"},
         "01"},
        {"start down, any non-zero flag byte is true",
         "05 00 00 00 | 01 00 00 00 02 00 00 00 | 00 | 00 00 00 00 | 00 00 00 00 |"
         " 00 00 00 00 | 00 00 00 00 | 80",
         {"StartDown(1:2,'',0,0,0,true)"},
         "01"},
        {"stop down",
         "06 00 00 00 | 01 00 00 00 02 00 00 00 | 78 56 34 12",
         {"StopDown(1:2)"},
         nullptr},
        {"stop down without a Sign", "06 00 00 00", {"StopDown(0:0)"}, nullptr},
        {"stop down with half a Sign", "06 00 00 00 | 01 00 00 00", {"StopDown(1:0)"}, nullptr},
        {"del res",
         "07 00 00 00 | 03 00 00 00 04 00 00 00 | 78 56 34 12",
         {"DelRes(3:4)"},
         nullptr},
        {"get res info: 7 and abc, 8 bytes",
         "08 00 00 00 | 01 00 00 00 02 00 00 00",
         {"GetResInfo(1:2,0,'')"},
         "07 00 00 00 | 61 62 63 00",
         true,
         7,
         "abc"},
        {"get res info, empty text: 5 bytes",
         "08 00 00 00",
         {"GetResInfo(0:0,0,'')"},
         "FF FF FF FF | 00",
         true,
         -1,
         ""},
        {"get res info, a text with a NUL of its own ends there",
         "08 00 00 00 | 01 00 00 00 02 00 00 00",
         {"GetResInfo(1:2,0,'')"},
         "64 00 00 00 | 61 62 00",
         true,
         100,
         std::string("ab\0cd", 5)},
        {"enable vip service",
         "09 00 00 00 | 05 00 00 00 | 01",
         {"EnableVIPService(5,true,0)"},
         nullptr},
        {"enable vip service without fields",
         "09 00 00 00",
         {"EnableVIPService(0,false,0)"},
         nullptr},
        {"enable vip service without the flag",
         "09 00 00 00 | 05 00 00 00",
         {"EnableVIPService(5,false,0)"},
         nullptr},
        {"stop all", "0A 00 00 00", {"StopAll()"}, nullptr},
        {"set sys msg wnd", "0B 00 00 00 | 34 12 00 00", {"SetSysMsgWnd(4660)"}, nullptr},
        {"set sys msg wnd, a negative int",
         "0B 00 00 00 | FF FF FF FF",
         {"SetSysMsgWnd(-1)"},
         nullptr},
        {"set sys msg wnd without its int", "0B 00 00 00 | 34 12", {"SetSysMsgWnd(0)"}, nullptr},
        {"id 1 is no command", "01 00 00 00 | 01 00 00 00 02 00 00 00", {}, nullptr},
        {"id 4 is no command", "04 00 00 00", {}, nullptr},
        {"id 12 is no command", "0C 00 00 00", {}, nullptr},
        {"id 0", "00 00 00 00", {}, nullptr},
        {"id -1", "FF FF FF FF", {}, nullptr},
        {"3 bytes: no id", "05 00 00", {}, nullptr},
    };
    for (const P2PCase& c : cases) {
        SCOPED_TRACE(c.name);
        fakep2p::Reset();
        fakep2p::SetStartDownResult(c.accepted);
        fakep2p::SetResInfo(c.resValue, c.resText);
        FakeCallMessage message(CHANNEL_P2P, Bytes(c.payload));
        EXPECT_EQ(stub_.Dispatch(&message), S_OK);
        EXPECT_EQ(fakep2p::CallTexts(), c.calls);
        ExpectReply(message, c.reply);
    }
}

TEST_F(P2PStubTest, DownloadsGetTheStubAsObserverNeverTheClientsTag) {
    const std::string startDown =
        "05 00 00 00 | 01 00 00 00 02 00 00 00 | 00 | 00 00 00 00 | 00 00 00 00 | 00 00 00 00 |"
        " 78 56 34 12 | 00";
    const char* payloads[] = {
        startDown.c_str(),
        "06 00 00 00 | 01 00 00 00 02 00 00 00 | 78 56 34 12",
        "07 00 00 00 | 01 00 00 00 02 00 00 00 | 78 56 34 12",
    };
    for (const char* payload : payloads) {
        FakeCallMessage message(CHANNEL_P2P, Bytes(payload));
        stub_.Dispatch(&message);
    }
    const std::vector<P2PCall> calls = fakep2p::Calls();
    ASSERT_EQ(calls.size(), 3u);
    for (const P2PCall& call : calls) {
        EXPECT_EQ(call.observer, static_cast<const P2PObserver*>(&stub_)) << call.text;
    }
}

TEST_F(P2PStubTest, AMessageWithoutRecordOrPayloadFails) {
    FakeCallMessage noRecord(CHANNEL_P2P, Bytes("0A 00 00 00"));
    noRecord.DropRecord();
    FakeCallMessage noPayload(CHANNEL_P2P, Bytes("0A 00 00 00"));
    noPayload.DropPayload();
    EXPECT_EQ(stub_.Dispatch(nullptr), E_FAIL);
    EXPECT_EQ(stub_.Dispatch(&noRecord), E_FAIL);
    EXPECT_EQ(stub_.Dispatch(&noPayload), E_FAIL);
    EXPECT_TRUE(fakep2p::Calls().empty());
}

TEST_F(P2PStubTest, WithoutReplyBuffersTheEngineIsStillCalled) {
    g_ServiceMsgCenter = nullptr;
    FakeCallMessage start(CHANNEL_P2P, Bytes("05 00 00 00"));
    FakeCallMessage info(CHANNEL_P2P, Bytes("08 00 00 00"));
    EXPECT_EQ(stub_.Dispatch(&start), S_OK);
    EXPECT_EQ(stub_.Dispatch(&info), S_OK);
    EXPECT_FALSE(start.HasReply());
    EXPECT_FALSE(info.HasReply());
    EXPECT_EQ(fakep2p::Calls().size(), 2u);
    g_ServiceMsgCenter = center_;
}

TEST_F(P2PStubTest, OnTheRealEngine) {
    CP2PStub real;
    // Nothing known of the Sign: -1 and the empty text, 5 bytes.
    FakeCallMessage info(CHANNEL_P2P, Bytes("08 00 00 00 | 0B 00 00 00 0C 00 00 00"));
    EXPECT_EQ(real.Dispatch(&info), S_OK);
    EXPECT_EQ(Hex(info.Reply()), Norm("FF FF FF FF 00"));
    // An address that is no http address is refused.
    FakeCallMessage start(CHANNEL_P2P,
                          Bytes("05 00 00 00 | 0B 00 00 00 0C 00 00 00 | 66 74 70 3A 2F 2F 78 00"));
    EXPECT_EQ(real.Dispatch(&start), S_OK);
    EXPECT_EQ(Hex(start.Reply()), Norm("00"));
}

}  // namespace
}  // namespace servicetest
