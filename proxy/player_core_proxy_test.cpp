// The player-core proxy's commands against a fake service: the exact payload of every command,
// the result of every synchronous one when the service answers, and its failure value when the
// service is missing, stores no reply, an empty one or one too short for the result.
#include <functional>

#include "msg_ids.h"
#include "play_object_reply.h"
#include "player_protocol.h"
#include "proxy_fixture.h"
#include "proxy_objects.h"

namespace proxytest {
namespace {

struct SyncCase {
    const char* name;
    std::function<int(CPlayerCoreProxy&)> run;
    Bytes payload;  // what the service receives
    int failure;    // the result when the service does not answer
};

PlayRequest SampleRequest() {
    PlayRequest request;
    request.itemNumber = 9;
    request.itemSign = Sign(1, 2);
    request.itemText1[0] = 'z';
    return request;
}

Bytes RequestBytes(const PlayRequest& request) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&request);
    return Bytes(bytes, bytes + sizeof(request));
}

const std::vector<SyncCase>& SyncCases() {
    static const std::vector<SyncCase> cases = {
        {"Open",
         [](CPlayerCoreProxy& p) {
             PlayRequest request = SampleRequest();
             return p.Open(&request);
         },
         Cat({Ints({3}), RequestBytes(SampleRequest())}), 1},
        {"Play", [](CPlayerCoreProxy& p) { return p.Play(); }, Ints({4}), 1},
        {"Pause", [](CPlayerCoreProxy& p) { return p.Pause(); }, Ints({5}), 1},
        {"Stop", [](CPlayerCoreProxy& p) { return p.Stop(); }, Ints({6}), 1},
        {"SetPosition", [](CPlayerCoreProxy& p) { return p.SetPosition(-7); }, Ints({7, -7}), 1},
        {"SetVolume", [](CPlayerCoreProxy& p) { return p.SetVolume(80); }, Ints({8, 80}), 1},
        {"SetFlag", [](CPlayerCoreProxy& p) { return p.SetFlag(1); }, Cat({Ints({9}), {1}}), 1},
        {"SetNumberA", [](CPlayerCoreProxy& p) { return p.SetNumberA(11); }, Ints({10, 11}), 1},
        {"QueryNumber", [](CPlayerCoreProxy& p) { return p.QueryNumber(12); }, Ints({15, 12}), 1},
        {"SetNumberD", [](CPlayerCoreProxy& p) { return p.SetNumberD(13); }, Ints({16, 13}), 0},
        {"QueryStatus", [](CPlayerCoreProxy& p) { return p.QueryStatus(); }, Ints({18}), 1},
    };
    return cases;
}

using PlayerCommands = ProxyRoad;

TEST_F(PlayerCommands, SynchronousCommandsSendTheirPayloadAndReturnTheReplyInt) {
    service_.SetAnswer([](const Received&) { return Answer(Ints({0x1234})); });
    for (const SyncCase& c : SyncCases()) {
        const size_t before = service_.Requests().size();
        EXPECT_EQ(c.run(*player_), 0x1234) << c.name;
        const std::vector<Received> requests = service_.Requests();
        ASSERT_EQ(requests.size(), before + 1) << c.name;
        EXPECT_EQ(requests.back().channel, CHANNEL_PLAYER) << c.name;
        EXPECT_EQ(requests.back().payload, c.payload) << c.name;
    }
}

// Each way a service can fail to answer, for every synchronous command.
TEST_F(PlayerCommands, SynchronousCommandsGiveTheirFailureValueWhenTheServiceDoesNotAnswer) {
    const std::vector<std::pair<const char*, Answer>> answers = {
        {"no reply", std::nullopt},
        {"empty reply", Bytes{}},
        {"reply of 3 bytes", Bytes{7, 0, 0}},
    };
    for (const auto& [how, answer] : answers) {
        service_.SetAnswer([answer = answer](const Received&) { return answer; });
        for (const SyncCase& c : SyncCases()) {
            EXPECT_EQ(c.run(*player_), c.failure) << c.name << ", " << how;
        }
    }
    service_.Stop();
    for (const SyncCase& c : SyncCases()) {
        EXPECT_EQ(c.run(*player_), c.failure) << c.name << ", no service";
    }
}

TEST_F(PlayerCommands, WithoutAMessageCenterEveryCommandFailsAndNothingIsSent) {
    g_ProxyMsgCenter = nullptr;
    for (const SyncCase& c : SyncCases()) {
        EXPECT_EQ(c.run(*player_), c.failure) << c.name;
    }
    player_->SetNumberB(1);
    EXPECT_EQ(player_->Init(nullptr, 0, 0, 0), 0);
    EXPECT_TRUE(service_.Requests().empty());
}

TEST_F(PlayerCommands, InitSendsItsIntsAndReturnsTheReplysFirstByte) {
    service_.SetAnswer([](const Received&) { return Answer(Bytes{0xC8, 0x01, 0x02, 0x03}); });
    RecordingReceiver receiver(journal_);
    EXPECT_EQ(player_->Init(&receiver, 1, 2, 3), 0xC8);
    ASSERT_EQ(service_.Requests().size(), 1u);
    EXPECT_EQ(service_.Requests()[0].payload, Ints({1, 1, 2, 3}));

    for (const Answer& failed : {Answer(std::nullopt), Answer(Bytes{})}) {
        service_.SetAnswer([failed](const Received&) { return failed; });
        EXPECT_EQ(player_->Init(&receiver, 0, 0, 0), 0);
    }
}

// The fake service raises a notification from inside its handling of the Init command, before
// it answers (with nothing): the receiver is already registered and hears it, and stays
// registered after the failed Init.
TEST_F(PlayerCommands, InitKeepsTheReceiverBeforeSendingAndAfterAFailure) {
    service_.SetAnswer([this](const Received& request) {
        if (request.payload.size() >= 4 && request.payload[0] == PLAYER_CMD_INIT) {
            service_.Notify(CHANNEL_PLAYER, Ints({PLAYER_NOTIFY_PLAY_START}));
        }
        return Answer(std::nullopt);
    });
    RecordingReceiver receiver(journal_);
    EXPECT_EQ(player_->Init(&receiver, 0, 0, 0), 0);
    EXPECT_EQ(journal_.Lines(), std::vector<std::string>{"PlayStart()"});

    ASSERT_EQ(service_.Notify(CHANNEL_PLAYER, Ints({PLAYER_NOTIFY_PLAY_END})), S_OK);
    EXPECT_EQ(journal_.Lines(), (std::vector<std::string>{"PlayStart()", "PlayEnd()"}));

    player_->UnInit();
    ASSERT_EQ(service_.Notify(CHANNEL_PLAYER, Ints({PLAYER_NOTIFY_PLAY_END})), S_OK);
    EXPECT_EQ(journal_.Lines().size(), 2u);
}

TEST_F(PlayerCommands, OneWayCommandsArePostedInOrderBeforeALaterCall) {
    service_.SetAnswer([](const Received&) { return Answer(Ints({0})); });
    PlayQuad quad;
    quad.value[0] = 1;
    quad.value[3] = -1;
    PlayBlock block;
    block.bytes[0] = 0xAB;
    block.bytes[55] = 0xCD;
    player_->SetQuad(&quad);
    player_->SetNumberB(21);
    player_->SetNumberC(22);
    player_->SetBlock(&block);
    player_->SetNumberE(23);
    player_->SetQuad(nullptr);  // nothing to send
    player_->SetBlock(nullptr);
    EXPECT_EQ(player_->Play(), 0);

    const std::vector<Received> requests = service_.Requests();
    const std::vector<Bytes> expected = {
        Cat({Ints({11}), Ints({1, 0, 0, -1})}),
        Ints({12, 21}),
        Ints({13, 22}),
        Cat({Ints({14}), Bytes(block.bytes, block.bytes + sizeof(block.bytes))}),
        Ints({17, 23}),
        Ints({4}),
    };
    ASSERT_EQ(requests.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(requests[i].payload, expected[i]) << i;
        EXPECT_EQ(requests[i].channel, CHANNEL_PLAYER) << i;
    }
}

TEST_F(PlayerCommands, OpenWithoutARequestFailsWithoutSending) {
    service_.SetAnswer([](const Received&) { return Answer(Ints({0})); });
    EXPECT_EQ(player_->Open(nullptr), 1);
    EXPECT_TRUE(service_.Requests().empty());
}

using PlayerPlayObject = ProxyRoad;

TEST_F(PlayerPlayObject, ARefreshFillsTheCacheAndHandsItOut) {
    const PlayObjectValues values = DistinctValues(5);
    service_.SetAnswer([values](const Received&) { return Answer(EncodePlayObject(values)); });
    IPlayObject* object = nullptr;
    EXPECT_EQ(player_->GetPlayObject(&object), 0);
    EXPECT_EQ(object, &player_->PlayObject());
    EXPECT_EQ(service_.Requests().at(0).payload, Ints({PLAYER_CMD_GET_PLAY_OBJECT}));
    EXPECT_EQ(object->GetState(), values.state);
    EXPECT_EQ(object->GetDuration(), values.duration);
    char text[PLAY_OBJECT_TEXT_SIZE];
    object->GetTextC(text);
    EXPECT_STREQ(text, values.textC.c_str());
}

TEST_F(PlayerPlayObject, WithoutAnAnswerTheUnchangedCacheIsHandedOutWithOne) {
    IPlayObject* object = nullptr;
    EXPECT_EQ(player_->GetPlayObject(&object), 1);  // the fake stores no reply
    ASSERT_EQ(object, &player_->PlayObject());
    EXPECT_EQ(object->GetPosition(), 0);

    const PlayObjectValues values = DistinctValues(6);
    service_.SetAnswer([values](const Received&) { return Answer(EncodePlayObject(values)); });
    EXPECT_EQ(player_->GetPlayObject(&object), 0);
    service_.Stop();
    object = nullptr;
    EXPECT_EQ(player_->GetPlayObject(&object), 1);
    ASSERT_EQ(object, &player_->PlayObject());
    EXPECT_EQ(object->GetPosition(), values.position);
    EXPECT_EQ(object->GetNumberD(), values.numberD);
}

// Through the call center: a reply cut after the position updates the fields up to it and
// keeps the rest; a reply whose data length runs past its end leaves the array and the state.
TEST_F(PlayerPlayObject, CutRepliesUpdateOnlyWhatTheyCover) {
    const PlayObjectValues first = DistinctValues(1);
    const PlayObjectValues second = DistinctValues(2);
    std::vector<size_t> ends;
    Bytes cut = EncodePlayObject(second, &ends);
    cut.resize(ends[11]);  // up to the position, without the data length
    auto answerWith = [this](Bytes reply) {
        service_.SetAnswer([reply](const Received&) { return Answer(reply); });
    };
    answerWith(EncodePlayObject(first));
    IPlayObject* object = nullptr;
    ASSERT_EQ(player_->GetPlayObject(&object), 0);

    answerWith(cut);
    EXPECT_EQ(player_->GetPlayObject(&object), 0);
    EXPECT_EQ(object->GetPosition(), second.position);
    EXPECT_EQ(object->GetVolume(), second.volume);
    EXPECT_EQ(object->GetState(), first.state);
    EXPECT_EQ(object->GetNumberC(), first.numberC);

    answerWith(Cat({cut, Ints({1 << 20, 3, 4})}));  // a megabyte of data announced, 8 bytes there
    EXPECT_EQ(player_->GetPlayObject(&object), 0);
    int* data = nullptr;
    int count = 0;
    object->GetData(&data, &count);
    EXPECT_EQ(data[0], first.data[0]);
    EXPECT_EQ(object->GetState(), first.state);
}

}  // namespace
}  // namespace proxytest
