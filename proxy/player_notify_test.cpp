// The player-core proxy's notification side: every notification number through the call
// center to a registered receiver, their short payloads, the results of OnNotify, and the
// report of a lost service in every cached state.
#include <atomic>
#include <thread>

#include "fake_message.h"
#include "msg_ids.h"
#include "play_object_reply.h"
#include "player_protocol.h"
#include "proxy_fixture.h"

namespace proxytest {
namespace {

struct NotifyCase {
    const char* name;
    Bytes payload;
    const char* heard;  // the receiver's journal line; null when it hears nothing
};

const std::vector<NotifyCase>& NotifyCases() {
    static const std::vector<NotifyCase> cases = {
        {"1", Ints({1}), "PlayStart()"},
        {"2 from 0x101", Cat({Ints({2}), {0x01}}), "PlayPause(1)"},
        {"2 high byte", Cat({Ints({2}), {0xFF}}), "PlayPause(255)"},
        {"2 without its byte", Ints({2}), "PlayPause(0)"},
        {"3", Ints({3}), "PlayResume()"},
        {"4", Ints({4}), "PlayStop()"},
        {"5", Ints({5}), "PlayEnd()"},
        {"6", Ints({6, -3}), "PlayFail(-3)"},
        {"6 without its int", Ints({6}), "PlayFail(0)"},
        {"6 with half an int", Cat({Ints({6}), {9, 9}}), "PlayFail(0)"},
        {"7 is never forwarded", Ints({7, 1}), nullptr},
        {"8", Ints({8}), "DownloadStart()"},
        {"9", Ints({9}), "DownloadEnd()"},
        {"10", Ints({10, 44}), "DownloadFail(44)"},
        {"10 without its int", Ints({10}), "DownloadFail(0)"},
        {"11", Cat({Ints({11}), SignBytes(1, 2), SignBytes(3, 4), Text("new")}),
         "SigChange(1,2 3,4 new)"},
        {"11 without its text", Cat({Ints({11}), SignBytes(1, 2), SignBytes(3, 4)}),
         "SigChange(1,2 3,4 )"},
        {"11 text without NUL", Cat({Ints({11}), SignBytes(1, 2), SignBytes(3, 4), {'a', 'b'}}),
         "SigChange(1,2 3,4 )"},
        {"11 with a cut second Sign: its first value stands",
         Cat({Ints({11}), SignBytes(1, 2), Ints({5})}), "SigChange(1,2 5,0 )"},
        {"11 with a cut first Sign", Cat({Ints({11}), Ints({7})}), "SigChange(7,0 0,0 )"},
        {"11 without fields", Ints({11}), "SigChange(0,0 0,0 )"},
        {"12", Ints({12}), "PlayerDead()"},
        {"13", Ints({13}), "DecoderMissing()"},
        {"14", Ints({14}), "SongSwitch()"},
        {"15", Ints({15}), "MvCanSeek()"},
        {"16", Ints({16, 70}), "NetBufferProgress(70)"},
        {"16 without its int", Ints({16}), "NetBufferProgress(0)"},
        {"17", Ints({17}), "MvNeedAd()"},
        {"18", Ints({18}), "MvBlocked()"},
        {"19 has no operation", Ints({19}), nullptr},
        {"0", Ints({0}), nullptr},
        {"negative", Ints({-1}), nullptr},
        {"above the table", Ints({1000}), nullptr},
        {"shorter than a number", Bytes{1, 0}, nullptr},
        {"empty", Bytes{}, nullptr},
    };
    return cases;
}

using PlayerNotifications = ProxyRoad;

TEST_F(PlayerNotifications, EachNumberReachesItsReceiverOperation) {
    RecordingReceiver receiver(journal_);
    player_->Init(&receiver, 0, 0, 0);  // the fake stores no reply: the receiver stays
    for (const NotifyCase& c : NotifyCases()) {
        const size_t before = journal_.Lines().size();
        ASSERT_EQ(service_.Notify(CHANNEL_PLAYER, c.payload), S_OK) << c.name;
        // A marker after it: deliveries are in order, so whatever the case caused is in by now.
        ASSERT_EQ(service_.Notify(CHANNEL_PLAYER, Ints({PLAYER_NOTIFY_MV_CAN_SEEK})), S_OK);
        const std::vector<std::string> lines = journal_.Lines();
        std::vector<std::string> heard(lines.begin() + before, lines.end());
        std::vector<std::string> expected;
        if (c.heard != nullptr) {
            expected.push_back(c.heard);
        }
        expected.push_back("MvCanSeek()");
        EXPECT_EQ(heard, expected) << c.name;
    }
}

TEST_F(PlayerNotifications, OnNotifyResults) {
    FakeMessage start(CHANNEL_PLAYER, Ints({1}));
    FakeMessage noRecord(CHANNEL_PLAYER, Ints({1}), false);
    FakeMessage unknown(CHANNEL_PLAYER, Ints({7}));
    EXPECT_EQ(player_->OnNotify(nullptr), E_FAIL);
    EXPECT_EQ(player_->OnNotify(&start), E_FAIL);  // no receiver yet
    EXPECT_TRUE(journal_.Lines().empty());

    RecordingReceiver receiver(journal_);
    player_->Init(&receiver, 0, 0, 0);
    EXPECT_EQ(player_->OnNotify(&noRecord), E_FAIL);
    EXPECT_EQ(player_->OnNotify(&unknown), 0);
    EXPECT_EQ(player_->OnNotify(&start), 0);
    EXPECT_FALSE(start.Replied());
    EXPECT_EQ(journal_.Lines(), std::vector<std::string>{"PlayStart()"});

    player_->UnInit();
    EXPECT_EQ(player_->OnNotify(&start), E_FAIL);
    EXPECT_EQ(journal_.Lines().size(), 1u);
}

class PlayerServiceLoss : public ProxyRoad {
protected:
    // Refreshes the cache to the state through the fake service.
    void CacheState(int state) {
        PlayObjectValues values = DistinctValues(1);
        values.state = state;
        service_.SetAnswer([values](const Received&) { return Answer(EncodePlayObject(values)); });
        IPlayObject* object = nullptr;
        ASSERT_EQ(player_->GetPlayObject(&object), 0);
        ASSERT_EQ(object->GetState(), state);
    }
};

TEST_F(PlayerServiceLoss, EachCachedState) {
    RecordingReceiver receiver(journal_);
    for (int state = 0; state <= 7; ++state) {
        CacheState(state);
        player_->Init(&receiver, 0, 0, 0);
        const size_t before = journal_.Lines().size();
        player_->ResetOnServiceLost();
        player_->ResetOnServiceLost();  // a later failed poll
        const bool lost = state == 1 || state == 2 || state == 3 || state == 5;
        EXPECT_EQ(journal_.Lines().size() - before, lost ? 1u : 0u) << state;
        if (lost) {
            EXPECT_EQ(journal_.Lines().back(), "PlayFail(-1)") << state;
        }
        EXPECT_EQ(player_->PlayObject().GetState(), lost ? PLAY_OBJECT_STATE_LOST : state) << state;
        EXPECT_EQ(player_->PlayObject().IsActive() != 0, !lost && state >= 3 && state <= 5);
    }
}

TEST_F(PlayerServiceLoss, WithoutAReceiverTheStateIsStillMarked) {
    CacheState(3);
    player_->ResetOnServiceLost();
    EXPECT_EQ(player_->PlayObject().GetState(), PLAY_OBJECT_STATE_LOST);
    EXPECT_TRUE(journal_.Lines().empty());

    CacheState(2);  // a later refresh ends the loss
    EXPECT_EQ(player_->PlayObject().GetState(), 2);
}

// The watchdog's reset against the client's refreshes, on two threads: the cache stays whole
// (ThreadSanitizer watches), and the state is always one that a refresh or the loss set.
TEST_F(PlayerServiceLoss, ResetsRaceRefreshesSafely) {
    RecordingReceiver receiver(journal_);
    player_->Init(&receiver, 0, 0, 0);
    PlayObjectValues values = DistinctValues(1);
    values.state = 3;
    service_.SetAnswer([values](const Received&) { return Answer(EncodePlayObject(values)); });
    std::atomic<bool> done{false};
    std::thread watchdog([&] {
        while (!done) {
            player_->ResetOnServiceLost();
        }
    });
    IPlayObject* object = nullptr;
    for (int i = 0; i < 200; ++i) {
        ASSERT_EQ(player_->GetPlayObject(&object), 0);
        const int state = object->GetState();
        ASSERT_TRUE(state == 3 || state == PLAY_OBJECT_STATE_LOST) << state;
        ASSERT_EQ(object->GetNumberD(), values.numberD);
    }
    done = true;
    watchdog.join();
}

}  // namespace
}  // namespace proxytest
