// The service's message routing: messages go to the stub of their channel, the two service
// requests are answered with the one byte 1, everything else is left alone; both in-process and
// through the call center from the proxy's endpoint.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fake_call_message.h"
#include "fake_p2p_engine.h"
#include "fake_player_core.h"
#include "msg_ids.h"
#include "p2p_stub.h"
#include "play_core_stub.h"
#include "service_globals.h"
#include "service_test_fixture.h"
#include "stream_test_util.h"

namespace servicetest {
namespace {

using Calls = std::vector<std::string>;
using brtest::Norm;

class ServiceRoutingTest : public ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        fakep2p::Reset();
        g_P2PStub = &p2p_;
        g_PlayCoreStub = &player_;
        core_.ClearCalls();
    }
    void TearDown() override {
        ServiceTest::TearDown();
        g_P2PStub = nullptr;
        g_PlayCoreStub = nullptr;
    }

    FakePlayerCore core_;
    CPlayCoreStub player_{&core_};
    CP2PStub p2p_{fakep2p::Functions()};
};

struct RouteCase {
    const char* name;
    int channel;
    const char* payload;
    Calls playerCalls;
    Calls p2pCalls;
    const char* reply;  // hex; null: no reply
};

const RouteCase kRouteCases[] = {
    {"P2P command to the P2P stub", CHANNEL_P2P, "0A 00 00 00", {}, {"StopAll()"}, nullptr},
    {"player command to the player stub",
     CHANNEL_PLAYER,
     "04 00 00 00",
     {"Play"},
     {},
     "11 22 33 44"},
    {"a P2P id on the player channel is a player command",
     CHANNEL_PLAYER,
     "0A 00 00 00 01 00 00 00",
     {"SetNumberA(1)"},
     {},
     "11 22 33 44"},
    {"running query", CHANNEL_QUERY_RUNNING, "", {}, {}, "01"},
    {"running query, payload not read", CHANNEL_QUERY_RUNNING, "04 00 00 00", {}, {}, "01"},
    {"channel 0", 0, "04 00 00 00", {}, {}, nullptr},
    {"channel 5", 5, "04 00 00 00", {}, {}, nullptr},
    {"channel -1", -1, "04 00 00 00", {}, {}, nullptr},
};

TEST_F(ServiceRoutingTest, MessagesGoByTheirChannel) {
    for (const RouteCase& c : kRouteCases) {
        SCOPED_TRACE(c.name);
        core_.ClearCalls();
        fakep2p::Reset();
        FakeCallMessage message(c.channel, Bytes(c.payload));
        EXPECT_EQ(center_->OnMessage(&message), S_OK);
        EXPECT_EQ(core_.Calls(), c.playerCalls);
        EXPECT_EQ(fakep2p::CallTexts(), c.p2pCalls);
        ExpectReply(message, c.reply);
    }
}

TEST_F(ServiceRoutingTest, TheSameThroughTheCallCenter) {
    for (const RouteCase& c : kRouteCases) {
        SCOPED_TRACE(c.name);
        core_.ClearCalls();
        fakep2p::Reset();
        const CallResult call = proxy_->Call(SERVICE_ENDPOINT_ID, c.channel, Bytes(c.payload));
        EXPECT_EQ(call.result, S_OK);
        EXPECT_EQ(core_.Calls(), c.playerCalls);
        EXPECT_EQ(fakep2p::CallTexts(), c.p2pCalls);
        EXPECT_EQ(call.replied, c.reply != nullptr);
        EXPECT_EQ(Hex(call.reply), c.reply ? Norm(c.reply) : "");
    }
}

TEST_F(ServiceRoutingTest, WithoutTheStubNothingHappens) {
    g_P2PStub = nullptr;
    g_PlayCoreStub = nullptr;
    FakeCallMessage p2p(CHANNEL_P2P, Bytes("0A 00 00 00"));
    FakeCallMessage player(CHANNEL_PLAYER, Bytes("04 00 00 00"));
    EXPECT_EQ(center_->OnMessage(&p2p), S_OK);
    EXPECT_EQ(center_->OnMessage(&player), S_OK);
    EXPECT_FALSE(player.HasReply());
    EXPECT_TRUE(core_.Calls().empty());
    EXPECT_TRUE(fakep2p::Calls().empty());
}

TEST_F(ServiceRoutingTest, APlayerCommandWithoutEngineFailsButIsAnswered0) {
    CPlayCoreStub missing("NoSuchPlayEngine.dll");
    g_PlayCoreStub = &missing;
    FakeCallMessage player(CHANNEL_PLAYER, Bytes("04 00 00 00"));
    EXPECT_EQ(center_->OnMessage(&player), S_OK);
    EXPECT_FALSE(player.HasReply());
}

TEST_F(ServiceRoutingTest, AMissingMessageOrRecordFails) {
    FakeCallMessage noRecord(CHANNEL_QUERY_RUNNING, "");
    noRecord.DropRecord();
    EXPECT_EQ(center_->OnMessage(nullptr), E_FAIL);
    EXPECT_EQ(center_->OnMessage(&noRecord), E_FAIL);
    EXPECT_FALSE(noRecord.HasReply());
}

TEST_F(ServiceRoutingTest, TheRunningReplyNeedsABuffer) {
    CServiceMsgCenter bare;  // no call center: no reply buffers
    FakeCallMessage query(CHANNEL_QUERY_RUNNING, "");
    EXPECT_EQ(bare.OnMessage(&query), S_OK);
    EXPECT_FALSE(query.HasReply());
}

}  // namespace
}  // namespace servicetest
