// The proxy's message center: routing by channel to the proxies that exist, and its results.
#include "fake_message.h"
#include "msg_ids.h"
#include "p2p_script.h"
#include "proxy_fixture.h"
#include "proxy_objects.h"

namespace proxytest {
namespace {

class ProxyRouting : public ProxyRoad {
protected:
    void SetUp() override {
        ProxyRoad::SetUp();
        player_->Init(&receiver_, 0, 0, 0);
        const Sign sign = TestSign(1);
        p2p_->P2PDelRes(&sign, observers_['A']);
    }
    RecordingReceiver receiver_{journal_};
    Observers observers_{journal_};
};

TEST_F(ProxyRouting, ChannelsOneAndTwoReachTheirProxiesOthersNothing) {
    for (int channel : {CHANNEL_QUERY_RUNNING, CHANNEL_STOP, 0, 5, -1}) {
        ASSERT_EQ(service_.Notify(channel, Ints({1})), S_OK) << channel;
        ASSERT_EQ(service_.Notify(channel, Notification5(1)), S_OK) << channel;
    }
    EXPECT_TRUE(journal_.Lines().empty());
    ASSERT_EQ(service_.Notify(CHANNEL_PLAYER, Ints({1})), S_OK);
    ASSERT_EQ(service_.Notify(CHANNEL_P2P, Notification5(1)), S_OK);
    EXPECT_EQ(journal_.Lines(), (std::vector<std::string>{"PlayStart()", "A.5 1,101"}));
}

TEST_F(ProxyRouting, WithoutTheProxiesNothingIsCalled) {
    g_P2PProxy = nullptr;
    g_PlayerCoreProxy = nullptr;
    ASSERT_EQ(service_.Notify(CHANNEL_PLAYER, Ints({1})), S_OK);
    ASSERT_EQ(service_.Notify(CHANNEL_P2P, Notification5(1)), S_OK);
    EXPECT_TRUE(journal_.Lines().empty());
}

TEST_F(ProxyRouting, Results) {
    FakeMessage noRecord(CHANNEL_PLAYER, Ints({1}), false);
    EXPECT_EQ(center_->OnMessage(nullptr), E_FAIL);
    EXPECT_EQ(center_->OnMessage(&noRecord), E_FAIL);
    for (int channel : {CHANNEL_P2P, CHANNEL_PLAYER, CHANNEL_QUERY_RUNNING, CHANNEL_STOP, 77}) {
        FakeMessage unknown(channel, Ints({0}));  // a number neither proxy acts on
        EXPECT_EQ(center_->OnMessage(&unknown), 0) << channel;
        EXPECT_FALSE(unknown.Replied()) << channel;
    }
    player_->UnInit();  // the player proxy answers E_FAIL now; the center still 0
    FakeMessage start(CHANNEL_PLAYER, Ints({1}));
    EXPECT_EQ(center_->OnMessage(&start), 0);
    EXPECT_TRUE(journal_.Lines().empty());
}

}  // namespace
}  // namespace proxytest
