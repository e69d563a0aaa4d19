// The P2P proxy's commands as exact bytes, its reading of the replies, and a service that does
// not answer: the log line, the Reset, the result.
#include <functional>

#include "msg_ids.h"
#include "p2p_protocol.h"
#include "p2p_script.h"
#include "proxy_fixture.h"

namespace proxytest {
namespace {

class P2PCommands : public ProxyRoad {
protected:
    uint32_t TagOf(char name) {
        return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(observers_[name]));
    }
    Observers observers_{journal_};
};

struct WireCase {
    const char* name;
    std::function<void(CP2PProxy&, P2PObserver*)> run;
    std::function<Bytes(uint32_t tag)> bytes;
};

TEST_F(P2PCommands, EveryCommandAsExactBytes) {
    service_.SetAnswer([](const Received& r) -> Answer {
        return r.payload.at(0) == P2P_CMD_START_DOWN ? Answer(Bytes{1}) : Answer(Ints({0}));
    });
    const Sign sign(0x01020304, 0xFFFFFFFE);
    const Bytes signBytes = SignBytes(0x01020304, 0xFFFFFFFE);
    const std::vector<WireCase> cases = {
        {"StartDown",
         [&](CP2PProxy& p, P2PObserver* o) { p.P2PStartDown(&sign, "ab", 7, -8, 9, o, true); },
         [&](uint32_t tag) {
             return Cat({Ints({5}), signBytes, Text("ab"), Ints({7, -8, 9, int(tag)}), {1}});
         }},
        {"StartDown with a null text is 30 bytes",
         [&](CP2PProxy& p, P2PObserver* o) {
             const Sign other(5, 6);
             p.P2PStartDown(&other, nullptr, 0, 0, 3, o, false);
         },
         [&](uint32_t tag) {
             return Cat({Ints({5}), SignBytes(5, 6), {0}, Ints({0, 0, 3, int(tag)}), {0}});
         }},
        {"StopDown",  // the last observer of the sign leaves
         [&](CP2PProxy& p, P2PObserver* o) { p.P2PStopDown(&sign, o); },
         [&](uint32_t tag) {
             return Cat({Ints({6}), signBytes, Ints({int(tag)})});
         }},
        {"DelRes", [&](CP2PProxy& p, P2PObserver* o) { p.P2PDelRes(&sign, o); },
         [&](uint32_t tag) {
             return Cat({Ints({7}), signBytes, Ints({int(tag)})});
         }},
        {"GetResInfo",
         [&](CP2PProxy& p, P2PObserver*) {
             int value = 0;
             std::string text;
             p.P2PGetResInfo(&sign, &value, &text);
         },
         [&](uint32_t) {
             return Cat({Ints({8}), signBytes});
         }},
        {"EnableVIPService without its third argument",
         [](CP2PProxy& p, P2PObserver*) { p.P2PEnableVIPService(-5, true, 99); },
         [](uint32_t) {
             return Cat({Ints({9, -5}), {1}});
         }},
        {"StopAll", [](CP2PProxy& p, P2PObserver*) { p.P2PStopAll(); },
         [](uint32_t) { return Ints({10}); }},
        {"SetSysMsgWnd", [](CP2PProxy& p, P2PObserver*) { p.P2PSetSysMsgWnd(0x1234); },
         [](uint32_t) {
             return Ints({11, 0x1234});
         }},
    };
    for (const WireCase& c : cases) {
        const size_t before = service_.Requests().size();
        c.run(*p2p_, observers_['A']);
        ASSERT_TRUE(service_.WaitForRequests(before + 1)) << c.name;
        const Received request = service_.Requests().at(before);
        EXPECT_EQ(request.channel, CHANNEL_P2P) << c.name;
        EXPECT_EQ(request.payload, c.bytes(TagOf('A'))) << c.name;
    }
    EXPECT_EQ(service_.Requests().size(), cases.size());
}

TEST_F(P2PCommands, StartDownIsTrueForAnyNonZeroResultByte) {
    for (uint8_t result : {1, 2, 255}) {
        service_.SetAnswer([result](const Received&) { return Answer(Bytes{result, 0}); });
        const Sign sign(result, 0);
        EXPECT_TRUE(p2p_->P2PStartDown(&sign, "", 0, 0, 0, observers_['A'], false)) << +result;
    }
}

TEST_F(P2PCommands, GetResInfoStoresWhatTheReplyHoldsWhole) {
    struct ReplyCase {
        const char* name;
        Bytes reply;
        int value;
        std::string text;
    };
    const std::vector<ReplyCase> cases = {
        {"int and text", Cat({Ints({7}), Text("abc")}), 7, "abc"},
        {"int and empty text", Cat({Ints({-2}), Text("")}), -2, ""},
        {"int only", Ints({9}), 9, "kept"},
        {"text without its NUL", Cat({Ints({4}), {'x', 'y'}}), 4, "kept"},
        {"shorter than the int", Bytes{1, 2, 3}, 5, "kept"},
    };
    const Sign sign(1, 2);
    for (const ReplyCase& c : cases) {
        service_.SetAnswer([c](const Received&) { return Answer(c.reply); });
        int value = 5;
        std::string text = "kept";
        p2p_->P2PGetResInfo(&sign, &value, &text);
        EXPECT_EQ(value, c.value) << c.name;
        EXPECT_EQ(text, c.text) << c.name;
    }
    EXPECT_EQ(Log().find(Gbk("服务进程无响应")), std::string::npos);
}

TEST_F(P2PCommands, StartDownLogsTheSignAndTheQueuedLine) {
    service_.SetAnswer([](const Received&) { return Answer(Bytes{1}); });
    const Sign sign(0xFFFFFFFF, 3);
    EXPECT_TRUE(p2p_->P2PStartDown(&sign, "", 0, 0, 0, observers_['A'], false));
    EXPECT_TRUE(p2p_->P2PStartDown(&sign, "", 0, 0, 0, observers_['B'], false));
    const std::string log = Log();
    EXPECT_NE(log.find(" 0 CP2PProxy::P2PStartDown: sign(-1, 3)\n"), std::string::npos) << log;
    EXPECT_NE(log.find(" 0 CP2PProxy::P2PStartDown: " +
                       Gbk("sign(-1, 3) 已经在下载队列，直接返回") + "\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(service_.Requests().size(), 1u);
}

// A service that does not answer, each way: no endpoint, no reply stored, an empty reply.
class P2PNotAnswering : public P2PCommands, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override {
        P2PCommands::SetUp();
        const std::string how = GetParam();
        if (how == "Gone") {
            service_.Stop();
        } else if (how == "EmptyReply") {
            service_.SetAnswer([](const Received&) { return Answer(Bytes{}); });
        }  // "NoReply": the fake's default
    }
};

TEST_P(P2PNotAnswering, StartDownLogsResetsEveryObserverAndFails) {
    const Sign earlier = TestSign(1);
    const Sign sign = TestSign(2);
    p2p_->P2PDelRes(&earlier, observers_['B']);
    EXPECT_FALSE(p2p_->P2PStartDown(&sign, "t", 0, 0, 0, observers_['A'], false));
    EXPECT_EQ(journal_.Lines(),
              (std::vector<std::string>{"B.3 1,101 6", "B.7", "A.3 2,102 6", "A.7"}));
    const std::string log = Log();
    const size_t lost = log.find(" 0 CP2PProxy::P2PStartDown: " + Gbk("服务进程无响应") + "\n");
    const size_t reset = log.find(" 0 CP2PProxy::Reset: CP2PProxy::Reset ok\n");
    EXPECT_NE(lost, std::string::npos) << log;
    EXPECT_NE(reset, std::string::npos) << log;
    EXPECT_LT(lost, reset);

    // The table is empty: nothing more to hear, and a new start sends again.
    p2p_->Reset();
    EXPECT_EQ(journal_.Lines().size(), 4u);
}

TEST_P(P2PNotAnswering, GetResInfoLogsWithItsOwnNameResetsAndKeepsTheOutputs) {
    const Sign sign = TestSign(3);
    p2p_->P2PDelRes(&sign, observers_['C']);
    int value = 41;
    std::string text = "kept";
    p2p_->P2PGetResInfo(&sign, &value, &text);
    EXPECT_EQ(value, 41);
    EXPECT_EQ(text, "kept");
    EXPECT_EQ(journal_.Lines(), (std::vector<std::string>{"C.3 3,103 6", "C.7"}));
    EXPECT_NE(Log().find(" 0  CP2PProxy::P2PGetResInfo: " + Gbk("服务进程无响应") + "\n"),
              std::string::npos)
        << Log();
}

TEST_P(P2PNotAnswering, PostsReportNothing) {
    const Sign sign = TestSign(4);
    p2p_->P2PDelRes(&sign, observers_['A']);
    p2p_->P2PStopDown(&sign, observers_['A']);
    p2p_->P2PStopAll();
    p2p_->P2PEnableVIPService(1, false, 0);
    p2p_->P2PSetSysMsgWnd(1);
    EXPECT_TRUE(journal_.Lines().empty());
    EXPECT_EQ(Log().find(Gbk("服务进程无响应")), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Ways, P2PNotAnswering, ::testing::Values("Gone", "NoReply", "EmptyReply"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param);
                         });

TEST_F(P2PCommands, NullSignsAreRefused) {
    service_.SetAnswer([](const Received&) { return Answer(Bytes{1}); });
    EXPECT_FALSE(p2p_->P2PStartDown(nullptr, "t", 0, 0, 0, observers_['A'], false));
    p2p_->P2PStopDown(nullptr, observers_['A']);
    p2p_->P2PDelRes(nullptr, observers_['A']);
    int value = 3;
    p2p_->P2PGetResInfo(nullptr, &value, nullptr);
    EXPECT_EQ(value, 3);
    p2p_->P2PStopAll();  // a barrier: every earlier post would have arrived before it
    ASSERT_TRUE(service_.WaitForRequests(1));
    EXPECT_EQ(Describe(service_.Requests(), observers_), std::vector<std::string>{"10"});
}

}  // namespace
}  // namespace proxytest
