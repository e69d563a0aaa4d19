// The player-core stub's forwarders: each engine notification reaches the proxy's endpoint as
// the player notification of slot + 1 with its exact payload, two are silent, and nothing goes
// while there is no message center.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "fake_player_core.h"
#include "msg_ids.h"
#include "play_core_stub.h"
#include "service_globals.h"
#include "service_test_fixture.h"
#include "stream_test_util.h"

namespace servicetest {
namespace {

class PlayCoreNotifyTest : public ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        stub_ = std::make_unique<CPlayCoreStub>(&core_);
    }
    void TearDown() override {
        stub_.reset();
        ServiceTest::TearDown();
    }

    FakePlayerCore core_;
    std::unique_ptr<CPlayCoreStub> stub_;
};

struct NotifyCase {
    const char* name;
    std::function<void(IMediaCallback&)> call;
    const char* payload;  // hex; null: nothing is sent
};

const NotifyCase kNotifyCases[] = {
    {"play start", [](IMediaCallback& c) { c.NotifyPlayStart(); }, "01 00 00 00"},
    {"play pause, low byte of 0x101", [](IMediaCallback& c) { c.NotifyPlayPause(0x101); },
     "02 00 00 00 | 01"},
    {"play pause false", [](IMediaCallback& c) { c.NotifyPlayPause(0); }, "02 00 00 00 | 00"},
    {"play resume", [](IMediaCallback& c) { c.NotifyPlayResume(); }, "03 00 00 00"},
    {"play stop", [](IMediaCallback& c) { c.NotifyPlayStop(); }, "04 00 00 00"},
    {"play end", [](IMediaCallback& c) { c.NotifyPlayEnd(); }, "05 00 00 00"},
    {"play fail -1", [](IMediaCallback& c) { c.NotifyPlayFail(-1); }, "06 00 00 00 | FF FF FF FF"},
    {"play status: silent", [](IMediaCallback& c) { c.NotifyPlayStatus(3); }, nullptr},
    {"download start", [](IMediaCallback& c) { c.NotifyDownloadStart(); }, "08 00 00 00"},
    {"download end", [](IMediaCallback& c) { c.NotifyDownloadEnd(); }, "09 00 00 00"},
    {"download fail", [](IMediaCallback& c) { c.NotifyDownloadFail(0x0304); },
     "0A 00 00 00 | 04 03 00 00"},
    {"sig change",
     [](IMediaCallback& c) { c.NotifySigChange(Sign(1, 2), Sign(3, 0xFFFFFFFF), "ab"); },
     "0B 00 00 00 | 01 00 00 00 02 00 00 00 | 03 00 00 00 FF FF FF FF | 61 62 00"},
    {"sig change, empty text: 21 bytes",
     [](IMediaCallback& c) { c.NotifySigChange(Sign(1, 2), Sign(3, 4), ""); },
     "0B 00 00 00 | 01 00 00 00 02 00 00 00 | 03 00 00 00 04 00 00 00 | 00"},
    {"sig change, null text as empty",
     [](IMediaCallback& c) { c.NotifySigChange(Sign(), Sign(), nullptr); },
     "0B 00 00 00 | 00 00 00 00 00 00 00 00 | 00 00 00 00 00 00 00 00 | 00"},
    {"player dead", [](IMediaCallback& c) { c.NotifyPlayerDead(); }, "0C 00 00 00"},
    {"decoder missing", [](IMediaCallback& c) { c.NotifyDecoderMissing(); }, "0D 00 00 00"},
    {"song switch", [](IMediaCallback& c) { c.NotifySongSwitch(); }, "0E 00 00 00"},
    {"mv can seek", [](IMediaCallback& c) { c.NotifyMvCanSeek(); }, "0F 00 00 00"},
    {"net buffer progress", [](IMediaCallback& c) { c.NotifyNetBufferProgress(55); },
     "10 00 00 00 | 37 00 00 00"},
    {"mv need ad", [](IMediaCallback& c) { c.NotifyMvNeedAd(); }, "11 00 00 00"},
    {"mv blocked", [](IMediaCallback& c) { c.NotifyMvBlocked(); }, "12 00 00 00"},
    {"song stall: silent", [](IMediaCallback& c) { c.NotifySongStall(); }, nullptr},
};

TEST_F(PlayCoreNotifyTest, EachNotificationReachesTheProxyWithItsPayload) {
    for (const NotifyCase& c : kNotifyCases) {
        SCOPED_TRACE(c.name);
        const size_t before = proxy_->Messages().size();
        // The send is a direct call: it has been delivered when the forwarder returns.
        c.call(*stub_);
        const std::vector<Received> messages = proxy_->Messages();
        if (!c.payload) {
            EXPECT_EQ(messages.size(), before);
            continue;
        }
        ASSERT_EQ(messages.size(), before + 1);
        EXPECT_EQ(messages.back().channel, CHANNEL_PLAYER);
        EXPECT_EQ(Hex(messages.back().bytes), brtest::Norm(c.payload));
    }
}

TEST_F(PlayCoreNotifyTest, NotificationsFromAnEngineThreadArrive) {
    std::thread engine([this] {
        stub_->NotifyPlayStart();
        stub_->NotifyPlayFail(2);
    });
    engine.join();
    ASSERT_TRUE(proxy_->WaitForCount(2));
    EXPECT_EQ(Hex(proxy_->Messages()[1].bytes), brtest::Norm("06 00 00 00 02 00 00 00"));
}

TEST_F(PlayCoreNotifyTest, NothingIsSentWithoutAMessageCenter) {
    g_ServiceMsgCenter = nullptr;
    for (const NotifyCase& c : kNotifyCases) {
        c.call(*stub_);
    }
    g_ServiceMsgCenter = center_;
    // After UnInit, while the pointer is still set, the gate is closed.
    center_->UnInit();
    for (const NotifyCase& c : kNotifyCases) {
        c.call(*stub_);
    }
    EXPECT_TRUE(proxy_->Messages().empty());
}

}  // namespace
}  // namespace servicetest
