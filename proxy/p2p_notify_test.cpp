// The P2P proxy's notifications through the call center: every id with its fields and with
// short payloads (the protocol's defaults), unknown ids, and Dispatch's results.
#include "fake_message.h"
#include "msg_ids.h"
#include "p2p_script.h"
#include "proxy_fixture.h"

namespace proxytest {
namespace {

struct NotificationCase {
    const char* name;
    Bytes payload;
    std::vector<std::string> heard;
};

// Observer A holds sign 1 (1,101) and the default sign (0,0).
const Bytes kSign = SignBytes(1, 101);

const std::vector<NotificationCase>& NotificationCases() {
    static const std::vector<NotificationCase> cases = {
        {"1", Cat({Ints({1}), kSign, Text("x"), Ints({-4})}), {"A.1 1,101 x -4"}},
        {"1 without its value", Cat({Ints({1}), kSign, Text("x")}), {"A.1 1,101 x 0"}},
        {"1 with a text without NUL: nothing after it is read",
         Cat({Ints({1}), kSign, {'x', 'y', 'z', 'w', 'v'}}),
         {"A.1 1,101  0"}},
        {"1 with the id only: the default sign", Ints({1}), {"A.1 0,0  0"}},
        {"2", Cat({Ints({2}), kSign}), {"A.2 1,101"}},
        {"3", Cat({Ints({3}), kSign, Ints({9})}), {"A.3 1,101 9"}},
        {"3 with its sign only: code 6", Cat({Ints({3}), kSign}), {"A.3 1,101 6"}},
        // A cut Sign keeps its first value, so it never falls on the empty text's (0, 0).
        {"3 with half a sign: sign (1, 0), held by nobody", Cat({Ints({3}), Ints({1})}), {}},
        {"2 with half a sign: sign (1, 0), held by nobody", Cat({Ints({2}), Ints({1})}), {}},
        {"4", Cat({Ints({4}), kSign, Ints({1, 2, 3})}), {"A.4 1,101 1 2 3"}},
        {"4 with one value", Cat({Ints({4}), kSign, Ints({1}), {7, 7}}), {"A.4 1,101 1 0 0"}},
        {"5", Cat({Ints({5}), kSign}), {"A.5 1,101"}},
        {"6, matched on its first sign",
         Cat({Ints({6}), kSign, SignBytes(8, 9), Text("t")}),
         {"A.6 1,101 8,9 t"}},
        {"6 whose second sign is held: matched on the first only",
         Cat({Ints({6}), SignBytes(5, 5), kSign, Text("t")}),
         {}},
        {"6 without its text", Cat({Ints({6}), kSign, SignBytes(8, 9)}), {"A.6 1,101 8,9 "}},
        {"6 with a cut second sign: its first value stands, its bytes are not read as the text",
         Cat({Ints({6}), kSign, Ints({5})}),
         {"A.6 1,101 5,0 "}},
        {"a sign without an entry", Cat({Ints({5}), SignBytes(1, 102)}), {}},
        {"bytes after the last field are ignored",
         Cat({Ints({5}), kSign, Ints({1, 2})}),
         {"A.5 1,101"}},
    };
    return cases;
}

class P2PNotifications : public ProxyRoad {
protected:
    void SetUp() override {
        ProxyRoad::SetUp();
        const Sign held = TestSign(1);
        const Sign empty;
        p2p_->P2PDelRes(&held, observers_['A']);
        p2p_->P2PDelRes(&empty, observers_['A']);
    }
    Observers observers_{journal_};
};

TEST_F(P2PNotifications, EachIdWithItsFieldsOrTheirDefaults) {
    for (const NotificationCase& c : NotificationCases()) {
        const size_t before = journal_.Lines().size();
        ASSERT_EQ(service_.Notify(CHANNEL_P2P, c.payload), S_OK) << c.name;
        const std::vector<std::string> lines = journal_.Lines();
        EXPECT_EQ(std::vector<std::string>(lines.begin() + before, lines.end()), c.heard) << c.name;
        if (c.payload.size() >= 4 && c.payload[0] == 2) {  // notification 2 forgot the sign
            const Sign held = TestSign(1);
            p2p_->P2PDelRes(&held, observers_['A']);
        }
    }
}

TEST_F(P2PNotifications, UnknownIdsAreLoggedAndReachNobody) {
    const std::vector<std::pair<Bytes, int>> cases = {
        {Cat({Ints({0}), kSign}), 0},
        {Cat({Ints({7}), kSign}), 7},
        {Cat({Ints({11}), kSign}), 11},
        {Ints({-3}), -3},
        {Bytes{2, 0, 0}, 0},  // shorter than an id: id 0
        {Bytes{}, 0},
    };
    for (const auto& [payload, id] : cases) {
        ASSERT_EQ(service_.Notify(CHANNEL_P2P, payload), S_OK) << id;
    }
    EXPECT_TRUE(journal_.Lines().empty());
    const std::string log = Log();
    for (const auto& [payload, id] : cases) {
        const std::string line =
            " 0 CP2PProxy::Dispatch: " + Gbk(("未知notifytype " + std::to_string(id)).c_str());
        EXPECT_NE(log.find(line + "\n"), std::string::npos) << id << "\n" << log;
    }
}

TEST_F(P2PNotifications, DispatchResults) {
    FakeMessage noRecord(CHANNEL_P2P, Cat({Ints({5}), kSign}), false);
    FakeMessage known(CHANNEL_P2P, Cat({Ints({5}), kSign}));
    FakeMessage unknown(CHANNEL_P2P, Ints({9}));
    EXPECT_EQ(p2p_->Dispatch(nullptr), E_FAIL);
    EXPECT_EQ(p2p_->Dispatch(&noRecord), E_FAIL);
    EXPECT_TRUE(journal_.Lines().empty());
    EXPECT_EQ(p2p_->Dispatch(&unknown), 0);
    EXPECT_EQ(p2p_->Dispatch(&known), 0);
    EXPECT_FALSE(known.Replied());
    EXPECT_EQ(journal_.Lines(), std::vector<std::string>{"A.5 1,101"});
}

}  // namespace
}  // namespace proxytest
