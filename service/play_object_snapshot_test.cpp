// Command 19: the play-object snapshot, byte for byte, as the reply of the stub's Dispatch.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "fake_call_message.h"
#include "fake_player_core.h"
#include "msg_ids.h"
#include "play_core_stub.h"
#include "service_test_fixture.h"
#include "stream_test_util.h"

namespace servicetest {
namespace {

class PlayObjectSnapshotTest : public ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        stub_ = std::make_unique<CPlayCoreStub>(&core_);
        FakePlayObject::Values& v = core_.object.values;
        // A distinct value in every field, so that the order shows.
        v.numberF = 0x0F;
        v.numberH = 0x18;
        v.bufferFirst = 0x21;
        v.bufferSecond = 0x22;
        v.numberG = 0x17;
        v.numberA = 0x0A;
        v.numberB = 0x0B;
        for (int i = 0; i < 56; ++i) {
            v.block.bytes[i] = static_cast<uint8_t>(0x80 + i);
        }
        v.flag = 1;
        v.volume = 0x64;
        v.position = 0x1234;
        v.state = 3;
        v.numberE = 0x0E;
        v.duration = 0x00010000;
        v.numberC = 0x0C;
        v.numberD = 0x0D;
    }
    void TearDown() override {
        stub_.reset();
        ServiceTest::TearDown();
    }

    // Dispatches command 19; the reply's bytes, or "none".
    std::string Snapshot() {
        FakeCallMessage message(CHANNEL_PLAYER, Bytes("13 00 00 00"));
        EXPECT_EQ(stub_->Dispatch(&message), S_OK);
        if (!message.HasReply()) {
            return "none";
        }
        EXPECT_EQ(message.ReplyLength(), static_cast<int>(message.Reply().size()));
        return message.Reply();
    }

    // The bytes before the data length, and those from the state on, for given texts.
    static std::string Head() {
        return Bytes(
                   "00 00 00 00 | 0F 00 00 00 | 18 00 00 00 | 21 00 00 00 22 00 00 00 |"
                   " 17 00 00 00 | 0A 00 00 00 | 0B 00 00 00") +
               brtest::Counting(56, 0x80) + Bytes("01 | 64 00 00 00 | 34 12 00 00");
    }
    static std::string Tail(const std::string& d, const std::string& b, const std::string& a,
                            const std::string& c) {
        return Bytes("03 00 00 00") + d + '\0' + b + '\0' + Bytes("0E 00 00 00 00 00 01 00") + a +
               '\0' + Bytes("0C 00 00 00 0D 00 00 00") + c + '\0';
    }

    FakePlayerCore core_;
    std::unique_ptr<CPlayCoreStub> stub_;
};

TEST_F(PlayObjectSnapshotTest, NoArrayAndEmptyTextsGive125Bytes) {
    const std::string snapshot = Snapshot();
    EXPECT_EQ(snapshot.size(), 125u);
    // The data length 0 and the state right after it.
    EXPECT_EQ(Hex(snapshot), Hex(Head() + Bytes("00 00 00 00") + Tail("", "", "", "")));
    EXPECT_EQ(core_.object.isActiveCalls, 0);
    EXPECT_FALSE(core_.object.dirtyTextBuffer);
}

TEST_F(PlayObjectSnapshotTest, TheArrayTravelsAsItsByteLengthAndItsBytes) {
    FakePlayObject::Values& v = core_.object.values;
    v.hasData = true;
    v.data = {1, 2, 0x01020304};
    v.count = 3;
    v.textA = "a";
    v.textB = "bb";
    v.textC = "ccc";
    v.textD = "dddd";
    const std::string expected = Head() +
                                 Bytes("0C 00 00 00 | 01 00 00 00 02 00 00 00 04 03 02 01") +
                                 Tail("dddd", "bb", "a", "ccc");
    EXPECT_EQ(Hex(Snapshot()), Hex(expected));
}

TEST_F(PlayObjectSnapshotTest, AnArrayOfNoIntsOrANegativeCountIsNoArray) {
    FakePlayObject::Values& v = core_.object.values;
    v.hasData = true;
    v.data = {9};
    for (int count : {0, -1, -0x40000000, 0x20000000}) {
        SCOPED_TRACE(count);
        v.count = count;
        EXPECT_EQ(Hex(Snapshot()), Hex(Head() + Bytes("00 00 00 00") + Tail("", "", "", "")));
    }
}

TEST_F(PlayObjectSnapshotTest, ATextWithoutItsNulIsCutTo1023Characters) {
    core_.object.values.unterminatedTexts = true;
    const std::string x(1023, 'x');
    EXPECT_EQ(Hex(Snapshot()), Hex(Head() + Bytes("00 00 00 00") + Tail(x, x, x, x)));
}

TEST_F(PlayObjectSnapshotTest, NoObjectNoReply) {
    core_.playObjectResult = 1;
    EXPECT_EQ(Snapshot(), "none");
    // Success without an object: the stub's own null stays and there is no reply.
    core_.playObjectResult = 0;
    core_.givesObject = false;
    EXPECT_EQ(Snapshot(), "none");
}

}  // namespace
}  // namespace servicetest
