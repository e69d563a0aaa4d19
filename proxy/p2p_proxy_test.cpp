// The P2P proxy's download table against a fake service: its rules as a table of scripted
// cases, the exact bytes of every command, and a service that does not answer.
#include "byte_stream.h"
#include "msg_ids.h"
#include "p2p_protocol.h"
#include "p2p_script.h"
#include "proxy_fixture.h"

namespace proxytest {
namespace {

enum class Op { kStart, kStartRefused, kStop, kDelRes, kNotify, kReset };

struct Step {
    Op op;
    int sign = 0;
    char observer = 0;
    Bytes notification = {};
    bool result = true;  // what a start returns
};

Step Start(int sign, char observer, bool result = true) {
    return {Op::kStart, sign, observer, {}, result};
}
Step StartRefused(int sign, char observer) {
    return {Op::kStartRefused, sign, observer, {}, false};
}
Step Stop(int sign, char observer) {
    return {Op::kStop, sign, observer};
}
Step DelRes(int sign, char observer) {
    return {Op::kDelRes, sign, observer};
}
Step Notify(Bytes payload) {
    return {Op::kNotify, 0, 0, std::move(payload)};
}
Step ResetAll() {
    return {Op::kReset};
}

struct TableCase {
    const char* id;
    const char* name;
    std::vector<Step> steps;
    std::vector<std::string> sent;   // the commands the service received, in order
    std::vector<std::string> heard;  // the observers' calls, in order
};

const std::vector<TableCase>& TableCases() {
    static const std::vector<TableCase> cases = {
        {"TwoObserversOneStart",
         "two observers for one sign: one start command, both hear, in order",
         {Start(1, 'A'), Start(1, 'B'), Notify(Notification1(1, "go", 5))},
         {"5 1,101 A"},
         {"A.1 1,101 go 5", "B.1 1,101 go 5"}},
        {"SameObserverTwice",
         "the same observer twice stays in the list once",
         {Start(1, 'A'), Start(1, 'A'), DelRes(1, 'A'), Notify(Notification5(1))},
         {"5 1,101 A", "7 1,101 A"},
         {"A.5 1,101"}},
        {"StopByOneOfTwo",
         "stop by one of two sends nothing; the last one's stop posts with its tag",
         {Start(1, 'A'), Start(1, 'B'), Stop(1, 'A'), Notify(Notification5(1)), Stop(1, 'B'),
          Notify(Notification5(1))},
         {"5 1,101 A", "6 1,101 B"},
         {"B.5 1,101"}},
        {"StopWithoutEntryOrObserver",
         "stop for a sign without an entry, or by an observer not in the list, does nothing",
         {Stop(9, 'A'), Start(1, 'A'), Stop(1, 'C'), Notify(Notification5(1))},
         {"5 1,101 A"},
         {"A.5 1,101"}},
        {"RefusedStartLeavesNoEntry",
         "a refused start leaves no entry; the next start sends again",
         {StartRefused(1, 'A'), Notify(Notification5(1)), Start(1, 'B')},
         {"5 1,101 A", "5 1,101 B"},
         {}},
        {"RefusedStartLeavesOtherSigns",
         "a refused start leaves the other signs' entries",
         {Start(2, 'A'), StartRefused(1, 'B'), Notify(Notification5(2)), Notify(Notification5(1))},
         {"5 2,102 A", "5 1,101 B"},
         {"A.5 2,102"}},
        {"DelResNewAndKnownSign",
         "DelRes for a new sign registers and posts; again posts again; a start is then queued",
         {DelRes(2, 'A'), DelRes(2, 'A'), Start(2, 'B'), Notify(Notification5(2))},
         {"7 2,102 A", "7 2,102 A"},
         {"A.5 2,102", "B.5 2,102"}},
        {"Notification2RemovesTheEntry",
         "notification 2 reaches every observer, then the entry is gone",
         {Start(1, 'A'), Start(1, 'B'), Notify(Notification2(1)), Stop(1, 'A'),
          Notify(Notification5(1)), Start(1, 'C')},
         {"5 1,101 A", "5 1,101 C"},
         {"A.2 1,101", "B.2 1,101"}},
        {"NotificationWithoutEntry",
         "a notification for a sign without an entry calls nobody",
         {Start(1, 'A'), Notify(Notification5(2)), Notify(Notification3(3, 1))},
         {"5 1,101 A"},
         {}},
        {"ResetOrder",
         "Reset: slot 3 with code 6, then slot 7, observer by observer, ascending Sign order",
         {Start(2, 'C'), Start(1, 'A'), Start(1, 'B'), ResetAll(), Notify(Notification5(1)),
          Start(1, 'A')},
         {"5 2,102 C", "5 1,101 A", "5 1,101 A"},
         {"A.3 1,101 6", "A.7", "B.3 1,101 6", "B.7", "C.3 2,102 6", "C.7"}},
        {"ResetEmpty", "Reset with an empty table calls nobody", {ResetAll()}, {}, {}},
        {"NullObserver",
         "a null observer is sent as tag 0 and never called",
         {Start(1, '0'), Start(1, 'A'), Notify(Notification5(1)), ResetAll()},
         {"5 1,101 0"},
         {"A.5 1,101", "A.3 1,101 6", "A.7"}},
    };
    return cases;
}

class P2PTable : public ProxyRoad, public ::testing::WithParamInterface<TableCase> {
protected:
    void SetUp() override {
        ProxyRoad::SetUp();
        AnswerStarts(1);
    }
    // Starts are answered with the byte; GetResInfo with 0 and an empty text.
    void AnswerStarts(uint8_t accepted) {
        service_.SetAnswer([accepted](const Received& request) -> Answer {
            if (request.payload.size() >= 4 && request.payload[0] == P2P_CMD_START_DOWN) {
                return Bytes{accepted};
            }
            if (request.payload.size() >= 4 && request.payload[0] == P2P_CMD_GET_RES_INFO) {
                return Cat({Ints({0}), Text("")});
            }
            return std::nullopt;
        });
    }
    void Run(const Step& step) {
        const Sign sign = TestSign(step.sign);
        switch (step.op) {
            case Op::kStart:
                EXPECT_EQ(p2p_->P2PStartDown(&sign, "t", 0, 0, 0, observers_[step.observer], false),
                          step.result);
                break;
            case Op::kStartRefused:
                AnswerStarts(0);
                EXPECT_FALSE(
                    p2p_->P2PStartDown(&sign, "t", 0, 0, 0, observers_[step.observer], false));
                AnswerStarts(1);
                break;
            case Op::kStop:
                p2p_->P2PStopDown(&sign, observers_[step.observer]);
                break;
            case Op::kDelRes:
                p2p_->P2PDelRes(&sign, observers_[step.observer]);
                break;
            case Op::kNotify:
                ASSERT_EQ(service_.Notify(CHANNEL_P2P, step.notification), S_OK);
                break;
            case Op::kReset:
                p2p_->Reset();
                break;
        }
    }
    // The commands received, after a call that the message center's worker performs after
    // every earlier post; the barrier's own command is left out.
    std::vector<std::string> Sent() {
        const Sign barrier = TestSign(99);
        int value = 0;
        std::string text;
        p2p_->P2PGetResInfo(&barrier, &value, &text);
        std::vector<std::string> sent = Describe(service_.Requests(), observers_);
        EXPECT_EQ(sent.back(), "8 99,199");
        sent.pop_back();
        return sent;
    }

    Observers observers_{journal_};
};

TEST_P(P2PTable, Rules) {
    const TableCase& c = GetParam();
    SCOPED_TRACE(c.name);
    for (const Step& step : c.steps) {
        Run(step);
    }
    EXPECT_EQ(Sent(), c.sent);
    EXPECT_EQ(journal_.Lines(), c.heard);
}

INSTANTIATE_TEST_SUITE_P(Cases, P2PTable, ::testing::ValuesIn(TableCases()),
                         [](const ::testing::TestParamInfo<TableCase>& info) {
                             return std::string(info.param.id);
                         });

}  // namespace
}  // namespace proxytest
