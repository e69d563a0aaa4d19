// The player-core stub driven in-process with hand-built payloads against a core of the test:
// the exact calls each command makes on the engine, with the defaults of short payloads, and the
// exact reply bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fake_call_message.h"
#include "fake_player_core.h"
#include "msg_ids.h"
#include "play_core_stub.h"
#include "service_globals.h"
#include "service_test_fixture.h"
#include "stream_test_util.h"

namespace servicetest {
namespace {

using Calls = std::vector<std::string>;

class PlayCoreStubTest : public ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        stub_ = std::make_unique<CPlayCoreStub>(&core_);
        core_.ClearCalls();
    }
    void TearDown() override {
        stub_.reset();
        ServiceTest::TearDown();
    }

    FakePlayerCore core_;
    std::unique_ptr<CPlayCoreStub> stub_;
};

// "the int result": the fake core answers every int operation with 0x44332211.
constexpr const char* kResult = "11 22 33 44";

struct CommandCase {
    const char* name;
    std::string payload;
    Calls calls;
    const char* reply;  // hex; null: no reply at all
};

std::string Request(uint8_t fill) {
    return std::string(sizeof(PlayRequest), char(fill));
}

TEST_F(PlayCoreStubTest, EachCommandCallsItsOperationAndReplies) {
    const std::string open = Bytes("03 00 00 00");
    const CommandCase cases[] = {
        {"init 7 8 9: only the second int, to SetNumberD",
         Bytes("01 00 00 00 07 00 00 00 08 00 00 00 09 00 00 00"),
         {"SetNumberD(8)"},
         kResult},
        {"init without ints", Bytes("01 00 00 00"), {"SetNumberD(0)"}, kResult},
        {"init with one int", Bytes("01 00 00 00 07 00 00 00"), {"SetNumberD(0)"}, kResult},
        {"init with the third int cut",
         Bytes("01 00 00 00 07 00 00 00 08 00 00 00 09 00"),
         {"SetNumberD(8)"},
         kResult},
        {"open", open + Request(0x41), {"Open"}, kResult},
        {"play", Bytes("04 00 00 00"), {"Play"}, kResult},
        {"pause", Bytes("05 00 00 00"), {"Pause"}, kResult},
        {"stop", Bytes("06 00 00 00"), {"Stop"}, kResult},
        {"set position", Bytes("07 00 00 00 10 27 00 00"), {"SetPosition(10000)"}, kResult},
        {"set position without its int", Bytes("07 00 00 00"), {"SetPosition(0)"}, kResult},
        {"set position with 3 bytes", Bytes("07 00 00 00 10 27 00"), {"SetPosition(0)"}, kResult},
        {"set position, bytes after the field ignored",
         Bytes("07 00 00 00 05 00 00 00 FF FF"),
         {"SetPosition(5)"},
         kResult},
        {"set volume", Bytes("08 00 00 00 50 00 00 00"), {"SetVolume(80)"}, kResult},
        {"set flag", Bytes("09 00 00 00 01"), {"SetFlag(1)"}, kResult},
        {"set flag passes any byte", Bytes("09 00 00 00 FE"), {"SetFlag(254)"}, kResult},
        {"set flag without its byte", Bytes("09 00 00 00"), {"SetFlag(0)"}, kResult},
        {"set number A", Bytes("0A 00 00 00 FF FF FF FF"), {"SetNumberA(-1)"}, kResult},
        {"set quad: one-way", Bytes("0B 00 00 00") + brtest::Counting(16), {"SetQuad"}, nullptr},
        {"set number B: one-way", Bytes("0C 00 00 00 09 00 00 00"), {"SetNumberB(9)"}, nullptr},
        {"set number C: one-way", Bytes("0D 00 00 00"), {"SetNumberC(0)"}, nullptr},
        {"set block: one-way", Bytes("0E 00 00 00") + brtest::Counting(56), {"SetBlock"}, nullptr},
        {"query number", Bytes("0F 00 00 00 04 00 00 00"), {"QueryNumber(4)"}, kResult},
        {"query number without its int: 1", Bytes("0F 00 00 00"), {"QueryNumber(1)"}, kResult},
        {"query number with 2 bytes: 1", Bytes("0F 00 00 00 04 00"), {"QueryNumber(1)"}, kResult},
        {"set number D", Bytes("10 00 00 00 03 00 00 00"), {"SetNumberD(3)"}, kResult},
        {"set number E: one-way", Bytes("11 00 00 00 02 00 00 00"), {"SetNumberE(2)"}, nullptr},
        {"query status", Bytes("12 00 00 00"), {"QueryStatus"}, kResult},
        {"command 2", Bytes("02 00 00 00 01 00 00 00"), {}, nullptr},
        {"command 0", Bytes("00 00 00 00"), {}, nullptr},
        {"command -1", Bytes("FF FF FF FF"), {}, nullptr},
        {"command 20", Bytes("14 00 00 00"), {}, nullptr},
        {"command 0x7FFFFFFF", Bytes("FF FF FF 7F"), {}, nullptr},
        {"3 bytes: no command", Bytes("04 00 00"), {}, nullptr},
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.name);
        core_.ClearCalls();
        FakeCallMessage message(CHANNEL_PLAYER, c.payload);
        EXPECT_EQ(stub_->Dispatch(&message), S_OK);
        EXPECT_EQ(core_.Calls(), c.calls);
        if (c.reply) {
            ASSERT_TRUE(message.HasReply());
            EXPECT_EQ(message.ReplyLength(), 4);
            EXPECT_EQ(Hex(message.Reply()), brtest::Norm(c.reply));
        } else {
            EXPECT_FALSE(message.HasReply());
        }
    }
}

TEST_F(PlayCoreStubTest, TheEngineResultTravelsLittleEndian) {
    for (int result : {0, 1, -5, 0x7F000001}) {
        core_.result = result;
        FakeCallMessage message(CHANNEL_PLAYER, Bytes("04 00 00 00"));
        stub_->Dispatch(&message);
        ASSERT_EQ(message.ReplyLength(), 4);
        int replied = 0;
        std::memcpy(&replied, message.Reply().data(), 4);
        EXPECT_EQ(replied, result);
    }
}

TEST_F(PlayCoreStubTest, OpenCopiesTheWholeRequestOrOpensAClearedOne) {
    std::string request = brtest::Counting(sizeof(PlayRequest), 7);
    {
        FakeCallMessage message(CHANNEL_PLAYER, Bytes("03 00 00 00") + request);
        stub_->Dispatch(&message);
        EXPECT_EQ(std::memcmp(&core_.lastRequest, request.data(), sizeof(PlayRequest)), 0);
    }
    // One byte short of a request: the engine still opens, with an all-zero request.
    FakeCallMessage message(CHANNEL_PLAYER,
                            Bytes("03 00 00 00") + request.substr(0, sizeof(PlayRequest) - 1));
    core_.ClearCalls();
    stub_->Dispatch(&message);
    EXPECT_EQ(core_.Calls(), Calls{"Open"});
    EXPECT_EQ(core_.lastRequest.itemText1[0], 0);
    EXPECT_EQ(std::memcmp(&core_.lastRequest, std::string(sizeof(PlayRequest), '\0').data(),
                          sizeof(PlayRequest)),
              0);
    EXPECT_EQ(Hex(message.Reply()), brtest::Norm(kResult));
}

TEST_F(PlayCoreStubTest, QuadAndBlockArePassedWholeOrAllZero) {
    const std::string quad = Bytes("01 00 00 00 02 00 00 00 03 00 00 00 04 00 00 00");
    const std::string block = brtest::Counting(56, 1);
    {
        FakeCallMessage q(CHANNEL_PLAYER, Bytes("0B 00 00 00") + quad);
        FakeCallMessage b(CHANNEL_PLAYER, Bytes("0E 00 00 00") + block);
        stub_->Dispatch(&q);
        stub_->Dispatch(&b);
        EXPECT_EQ(core_.lastQuad.value[0], 1);
        EXPECT_EQ(core_.lastQuad.value[3], 4);
        EXPECT_EQ(std::memcmp(core_.lastBlock.bytes, block.data(), 56), 0);
    }
    FakeCallMessage q(CHANNEL_PLAYER, Bytes("0B 00 00 00") + quad.substr(0, 15));
    FakeCallMessage b(CHANNEL_PLAYER, Bytes("0E 00 00 00") + block.substr(0, 55));
    stub_->Dispatch(&q);
    stub_->Dispatch(&b);
    EXPECT_EQ(core_.lastQuad.value[0], 0);
    EXPECT_EQ(core_.lastQuad.value[3], 0);
    EXPECT_EQ(std::memcmp(core_.lastBlock.bytes, std::string(56, '\0').data(), 56), 0);
    EXPECT_EQ(core_.Calls(), (Calls{"SetQuad", "SetBlock", "SetQuad", "SetBlock"}));
}

TEST_F(PlayCoreStubTest, AMessageWithoutRecordOrPayloadFails) {
    FakeCallMessage noRecord(CHANNEL_PLAYER, Bytes("04 00 00 00"));
    noRecord.DropRecord();
    FakeCallMessage noPayload(CHANNEL_PLAYER, Bytes("04 00 00 00"));
    noPayload.DropPayload();
    FakeCallMessage empty(CHANNEL_PLAYER, "");
    EXPECT_EQ(stub_->Dispatch(nullptr), E_FAIL);
    EXPECT_EQ(stub_->Dispatch(&noRecord), E_FAIL);
    EXPECT_EQ(stub_->Dispatch(&noPayload), E_FAIL);
    EXPECT_EQ(stub_->Dispatch(&empty), E_FAIL);
    EXPECT_TRUE(core_.Calls().empty());
    EXPECT_FALSE(noPayload.HasReply());
}

TEST_F(PlayCoreStubTest, WithoutReplyBuffersTheCommandStillRuns) {
    // No message center at all.
    g_ServiceMsgCenter = nullptr;
    FakeCallMessage a(CHANNEL_PLAYER, Bytes("04 00 00 00"));
    EXPECT_EQ(stub_->Dispatch(&a), S_OK);
    EXPECT_FALSE(a.HasReply());
    // A message center without a call center gives no buffer.
    CServiceMsgCenter bare;
    g_ServiceMsgCenter = &bare;
    FakeCallMessage b(CHANNEL_PLAYER, Bytes("05 00 00 00"));
    EXPECT_EQ(stub_->Dispatch(&b), S_OK);
    EXPECT_FALSE(b.HasReply());
    g_ServiceMsgCenter = center_;
    // A record without reply outs gets nothing, and no buffer is taken for it.
    FakeCallMessage c(CHANNEL_PLAYER, Bytes("06 00 00 00"));
    c.DropReplyOuts();
    EXPECT_EQ(stub_->Dispatch(&c), S_OK);
    EXPECT_EQ(core_.Calls(), (Calls{"Play", "Pause", "Stop"}));
}

TEST(PlayCoreStubLife, RegistersItselfOnceAndUnInitsTheCoreWhenDeleted) {
    FakePlayerCore core;
    auto stub = std::make_unique<CPlayCoreStub>(&core);
    EXPECT_EQ(stub->GetCore(), &core);
    EXPECT_EQ(core.Receiver(), static_cast<IMediaCallback*>(stub.get()));
    EXPECT_EQ(core.Calls(), Calls{"Init(0,0,0)"});
    stub.reset();
    EXPECT_EQ(core.Calls(), (Calls{"Init(0,0,0)", "UnInit"}));
    EXPECT_EQ(core.Receiver(), nullptr);
}

}  // namespace
}  // namespace servicetest
