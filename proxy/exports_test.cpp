// The exports against a fake service: the running query and the stop request read as the
// service answers them, InitProxy twice, the P2P exports' forwarding, and everything before
// InitProxy and after UnInitProxy.
#include <vector>

#include "exports_fixture.h"
#include "fake_receivers.h"
#include "msg_ids.h"
#include "p2p_protocol.h"
#include "process_list.h"

namespace proxytest {
namespace {

struct AnswerCase {
    const char* name;
    Answer answer;
    bool expected;
};

TEST(ExportsWithoutInit, DoNothingAndFailAsWithoutAService) {
    brtest::ScopedTestRoot root;
    FakeService service;  // would record anything that were sent
    ASSERT_TRUE(service.Start());
    Journal journal;
    RecordingObserver observer(journal, "A");
    const Sign sign(1, 2);
    const int value = 1;
    std::string text = "kept";
    int out = 5;

    EXPECT_TRUE(UnInitProxy());
    EXPECT_EQ(GetPlayerCoreProxy(), nullptr);
    EXPECT_FALSE(P2PStartDown(&sign, "x", &value, 2, 3, &observer, true));
    P2PStopDown(&sign, &observer);
    P2PDelRes(&sign, &observer);
    P2PGetResInfo(&sign, &out, &text);
    P2PEnableVIPService(1, true, 2);
    P2PStopAll();
    P2PSetSysMsgWnd(7);
    RegistNotify(nullptr);
    UnRegistNotify(nullptr);
    EXPECT_EQ(out, 5);
    EXPECT_EQ(text, "kept");

    // No message center: the query fails, the stop falls back to the kill.
    EXPECT_FALSE(IsRunCoreServer());
    EXPECT_TRUE(StopCoreServer());
    EXPECT_TRUE(service.Requests().empty());
    EXPECT_TRUE(journal.Lines().empty());
    const std::string log = brtest::ReadFile(root.LogDir() + "/brServiceProxy.txt");
    EXPECT_NE(log.find(" 0 IsRunCoreServer: IsRunCoreServer false\n"), std::string::npos) << log;
    EXPECT_NE(log.find(" 0 StopCoreServer: StopCoreServer ok\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("UnInitProxy"), std::string::npos) << log;
}

TEST_F(ExportsRoad, InitProxyTwiceCreatesAndStartsNothingMore) {
    EXPECT_TRUE(InitProxy());
    IPlayerCore* player = GetPlayerCoreProxy();
    EXPECT_TRUE(InitProxy());
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(GetPlayerCoreProxy(), player);
    EXPECT_EQ(Channels(), std::vector<int>{CHANNEL_QUERY_RUNNING});  // the first one's start
    EXPECT_EQ(LogCount("InitProxy", "InitProxy ok"), 2);
    EXPECT_EQ(LogCount("StartCoreServer", "StartCoreServer ok"), 1);
    EXPECT_EQ(LogCount("IsRunCoreServer", "IsRunCoreServer true"), 1);
}

// Another host of the runtime root holds the proxy's endpoint: InitProxy fails, asks nothing,
// creates nothing and starts nothing, and neither does StartCoreServer; once the endpoint is
// free, InitProxy succeeds.
TEST_F(ExportsRoad, InitProxyWithoutItsEndpointFailsAndStartsNothing) {
    FakeService otherHost;
    ASSERT_TRUE(otherHost.Start(PROXY_ENDPOINT_ID));
    EXPECT_FALSE(InitProxy());
    EXPECT_EQ(GetPlayerCoreProxy(), nullptr);
    EXPECT_TRUE(StartCoreServer());
    EXPECT_FALSE(IsRunCoreServer());
    const Sign sign(1, 2);
    const int value = 1;
    EXPECT_FALSE(P2PStartDown(&sign, "x", &value, 0, 0, nullptr, false));
    EXPECT_TRUE(service_.Requests().empty());
    EXPECT_EQ(LogCount("InitProxy", "InitProxy failed: no endpoint"), 1);
    EXPECT_EQ(LogCount("InitProxy", "InitProxy ok"), 0);
    EXPECT_EQ(LogCount("StartCoreServer", "StartCoreServer ok"), 1);
    const std::vector<DWORD> started = brtest::ProcessesNamed("BrCoreService.exe");
    EXPECT_TRUE(started.empty());
    for (DWORD pid : started) {
        brtest::KillProcess(pid);
    }

    otherHost.Stop();
    EXPECT_TRUE(InitProxy());
    EXPECT_NE(GetPlayerCoreProxy(), nullptr);
    EXPECT_EQ(Channels(), std::vector<int>{CHANNEL_QUERY_RUNNING});
}

TEST_F(ExportsRoad, RunningQueryIsTrueOnlyForTheByteOne) {
    ASSERT_TRUE(InitProxy());
    const std::vector<AnswerCase> cases = {
        {"no reply", std::nullopt, false}, {"empty reply", Bytes{}, false},
        {"byte 1", Bytes{1}, true},        {"byte 0", Bytes{0}, false},
        {"byte 2", Bytes{2}, false},       {"byte 1 and more", Bytes{1, 0, 0}, true},
    };
    for (const AnswerCase& c : cases) {
        SCOPED_TRACE(c.name);
        AnswerQuery(c.answer);
        const int trueLines = LogCount("IsRunCoreServer", "IsRunCoreServer true");
        const int falseLines = LogCount("IsRunCoreServer", "IsRunCoreServer false");
        EXPECT_EQ(IsRunCoreServer(), c.expected);
        EXPECT_EQ(LogCount("IsRunCoreServer", "IsRunCoreServer true"), trueLines + c.expected);
        EXPECT_EQ(LogCount("IsRunCoreServer", "IsRunCoreServer false"), falseLines + !c.expected);
        const Received last = service_.Requests().back();
        EXPECT_EQ(last.channel, CHANNEL_QUERY_RUNNING);
        EXPECT_TRUE(last.payload.empty());
    }
}

TEST_F(ExportsRoad, StopRequestReturnsTheReplyByteAndFallsBackOnlyWhenNotAnswered) {
    ASSERT_TRUE(InitProxy());
    const std::vector<AnswerCase> cases = {
        {"byte 1", Bytes{1}, true},      {"byte 0", Bytes{0}, false},
        {"empty reply", Bytes{}, false}, {"no reply", std::nullopt, false},
        {"byte 7", Bytes{7}, true},
    };
    for (const AnswerCase& c : cases) {
        SCOPED_TRACE(c.name);
        AnswerStop(c.answer);
        EXPECT_EQ(StopCoreServer(), c.expected);
        const Received last = service_.Requests().back();
        EXPECT_EQ(last.channel, CHANNEL_STOP);
        EXPECT_TRUE(last.payload.empty());
    }
    EXPECT_EQ(LogCount("StopCoreServer", "StopCoreServer ok"), 0);

    service_.Stop();  // the service is gone: the send fails
    EXPECT_TRUE(StopCoreServer());
    EXPECT_EQ(LogCount("StopCoreServer", "StopCoreServer ok"), 1);
}

TEST_F(ExportsRoad, P2PExportsHandTheirArgumentsToTheProxy) {
    ASSERT_TRUE(InitProxy());
    AnswerOther([](const Received&) -> Answer { return Bytes{1}; });
    Journal journal;
    RecordingObserver observer(journal, "A");
    const Sign sign(3, 4);
    const int value = 7;
    const size_t before = service_.Requests().size();

    EXPECT_FALSE(P2PStartDown(&sign, "t", nullptr, 8, 9, &observer, true));  // nothing to pass
    ASSERT_EQ(service_.Requests().size(), before);
    EXPECT_TRUE(P2PStartDown(&sign, "t", &value, 8, 9, &observer, true));
    P2PEnableVIPService(5, true, 99);
    P2PSetSysMsgWnd(42);
    P2PStopAll();
    ASSERT_TRUE(service_.WaitForRequests(before + 4));

    const std::vector<Received> requests = service_.Requests();
    const Bytes start = requests[before].payload;
    const Bytes prefix =
        Cat({Ints({P2P_CMD_START_DOWN}), SignBytes(3, 4), Text("t"), Ints({7, 8, 9})});
    ASSERT_GE(start.size(), prefix.size());
    EXPECT_EQ(Bytes(start.begin(), start.begin() + prefix.size()), prefix);
    EXPECT_EQ(requests[before + 1].payload, Cat({Ints({P2P_CMD_ENABLE_VIP_SERVICE, 5}), {1}}));
    EXPECT_EQ(requests[before + 2].payload, Ints({P2P_CMD_SET_SYS_MSG_WND, 42}));
    EXPECT_EQ(requests[before + 3].payload, Ints({P2P_CMD_STOP_ALL}));

    // After UnInitProxy there is no P2P proxy: nothing is sent.
    P2PStopDown(&sign, &observer);  // before the table goes
    ASSERT_TRUE(service_.WaitForRequests(before + 5));
    ASSERT_TRUE(UnInitProxy());
    EXPECT_FALSE(P2PStartDown(&sign, "t", &value, 8, 9, &observer, true));
    P2PStopAll();
    EXPECT_FALSE(service_.WaitForRequests(before + 6, 300));
}

TEST_F(ExportsRoad, AfterUnInitProxyTheLibraryStaysInitialisedWithoutItsObjects) {
    ASSERT_TRUE(InitProxy());
    ASSERT_NE(GetPlayerCoreProxy(), nullptr);
    ASSERT_TRUE(UnInitProxy());
    EXPECT_EQ(LogCount("UnInitProxy", "UnInitProxy ok"), 1);

    EXPECT_TRUE(InitProxy());  // only logs
    EXPECT_EQ(LogCount("StartCoreServer", "StartCoreServer ok"), 1);
    IPlayerCore* second = GetPlayerCoreProxy();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(GetPlayerCoreProxy(), second);
    const size_t before = service_.Requests().size();
    EXPECT_EQ(second->Play(), 1);  // no message center: every command fails
    EXPECT_FALSE(IsRunCoreServer());
    EXPECT_EQ(service_.Requests().size(), before);
}

}  // namespace
}  // namespace proxytest
