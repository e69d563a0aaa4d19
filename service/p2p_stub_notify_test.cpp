// The P2P stub's observer slots: slots 1 to 6 reach the proxy's endpoint as the notifications
// of the same number with their exact bytes, slot 7 sends nothing, and nothing goes while there
// is no message center.
#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <vector>

#include "fake_p2p_engine.h"
#include "msg_ids.h"
#include "p2p_stub.h"
#include "service_globals.h"
#include "service_test_fixture.h"
#include "stream_test_util.h"

namespace servicetest {
namespace {

class P2PStubNotifyTest : public ServiceTest {
protected:
    CP2PStub stub_{fakep2p::Functions()};
};

struct SlotCase {
    const char* name;
    std::function<void(P2PObserver&)> call;
    const char* payload;  // hex; null: nothing is sent
};

const SlotCase kSlotCases[] = {
    {"slot 1: Sign, text, int", [](P2PObserver& o) { o.OnP2PNotify1(Sign(1, 2), "/c/f", 1000); },
     "01 00 00 00 | 01 00 00 00 02 00 00 00 | 2F 63 2F 66 00 | E8 03 00 00"},
    {"slot 1, null text as empty", [](P2PObserver& o) { o.OnP2PNotify1(Sign(1, 2), nullptr, -1); },
     "01 00 00 00 | 01 00 00 00 02 00 00 00 | 00 | FF FF FF FF"},
    {"slot 2: Sign", [](P2PObserver& o) { o.OnP2PNotify2(Sign(1, 2)); },
     "02 00 00 00 | 01 00 00 00 02 00 00 00"},
    {"slot 3: Sign 1 2 and code 6", [](P2PObserver& o) { o.OnP2PNotify3(Sign(1, 2), 6); },
     "03 00 00 00 | 01 00 00 00 02 00 00 00 | 06 00 00 00"},
    {"slot 4: Sign and three ints", [](P2PObserver& o) { o.OnP2PNotify4(Sign(1, 2), 10, -1, 99); },
     "04 00 00 00 | 01 00 00 00 02 00 00 00 | 0A 00 00 00 | FF FF FF FF | 63 00 00 00"},
    {"slot 5: Sign", [](P2PObserver& o) { o.OnP2PNotify5(Sign(0xDEADBEEF, 7)); },
     "05 00 00 00 | EF BE AD DE 07 00 00 00"},
    {"slot 6: two Signs and a text",
     [](P2PObserver& o) { o.OnP2PNotify6(Sign(1, 2), Sign(3, 4), "x"); },
     "06 00 00 00 | 01 00 00 00 02 00 00 00 | 03 00 00 00 04 00 00 00 | 78 00"},
    {"slot 6, null text: 21 bytes",
     [](P2PObserver& o) { o.OnP2PNotify6(Sign(1, 2), Sign(3, 4), nullptr); },
     "06 00 00 00 | 01 00 00 00 02 00 00 00 | 03 00 00 00 04 00 00 00 | 00"},
    {"slot 7: silent", [](P2PObserver& o) { o.OnP2PNotify7(); }, nullptr},
};

TEST_F(P2PStubNotifyTest, EachSlotReachesTheProxyAsItsNotification) {
    for (const SlotCase& c : kSlotCases) {
        SCOPED_TRACE(c.name);
        const size_t before = proxy_->Messages().size();
        c.call(stub_);
        const std::vector<Received> messages = proxy_->Messages();
        if (!c.payload) {
            EXPECT_EQ(messages.size(), before);
            continue;
        }
        ASSERT_EQ(messages.size(), before + 1);
        EXPECT_EQ(messages.back().channel, CHANNEL_P2P);
        EXPECT_EQ(Hex(messages.back().bytes), brtest::Norm(c.payload));
    }
}

TEST_F(P2PStubNotifyTest, ReportsFromAnEngineThreadArrive) {
    std::thread engine([this] { stub_.OnP2PNotify5(Sign(1, 2)); });
    engine.join();
    ASSERT_TRUE(proxy_->WaitForCount(1));
    EXPECT_EQ(proxy_->Messages()[0].bytes.size(), 12u);
}

TEST_F(P2PStubNotifyTest, NothingIsSentWithoutAMessageCenter) {
    g_ServiceMsgCenter = nullptr;
    for (const SlotCase& c : kSlotCases) {
        c.call(stub_);
    }
    g_ServiceMsgCenter = center_;
    center_->UnInit();
    for (const SlotCase& c : kSlotCases) {
        c.call(stub_);
    }
    EXPECT_TRUE(proxy_->Messages().empty());
}

}  // namespace
}  // namespace servicetest
