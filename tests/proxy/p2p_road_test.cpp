// The P2P download road end to end: the P2P exports of the real library, the real service and
// its download engine, and an HTTP server on 127.0.0.1. A download reaches the client's
// observer with its progress and its completion, and the file is byte-exact; notifications
// that arrive while a start waits for the service's answer are delivered without a deadlock.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <map>
#include <thread>

#include "road_support.h"
#include "swarm_test_server.h"
#include "wait_until.h"

namespace proxytest {
namespace {

using swarmgettest::Body;
using swarmgettest::TestHttpServer;

// One observer call: its slot, sign, text and values, and whether the host was inside a start.
struct P2PEvent {
    int slot;
    Sign sign;
    std::string text;
    int values[3];
    bool duringStart = false;
};

class RecordingObserver final : public P2PObserver {
public:
    void OnP2PNotify1(const Sign& sign, const char* text, int value) override {
        Add({1, sign, text ? text : "", {value, 0, 0}});
    }
    void OnP2PNotify2(const Sign& sign) override { Add({2, sign, "", {}}); }
    void OnP2PNotify3(const Sign& sign, int code) override { Add({3, sign, "", {code, 0, 0}}); }
    void OnP2PNotify4(const Sign& sign, int a, int b, int c) override {
        Add({4, sign, "", {a, b, c}});
    }
    void OnP2PNotify5(const Sign& sign) override { Add({5, sign, "", {}}); }
    void OnP2PNotify6(const Sign& sign, const Sign&, const char*) override {
        Add({6, sign, "", {}});
    }
    void OnP2PNotify7() override { Add({7, Sign(), "", {}}); }

    std::vector<P2PEvent> Events() {
        std::lock_guard<std::mutex> hold(lock_);
        return events_;
    }
    // The calls for one sign, in order.
    std::vector<P2PEvent> EventsOf(const Sign& sign) {
        std::vector<P2PEvent> of;
        for (const P2PEvent& event : Events()) {
            if (event.sign == sign) {
                of.push_back(event);
            }
        }
        return of;
    }
    // Waits until the sign has heard the slot count times; false after timeoutMs.
    bool WaitFor(const Sign& sign, int slot, int count, int timeoutMs) {
        std::unique_lock<std::mutex> hold(lock_);
        return added_.wait_for(hold, std::chrono::milliseconds(timeoutMs), [&] {
            return std::count_if(events_.begin(), events_.end(), [&](const P2PEvent& e) {
                       return e.sign == sign && e.slot == slot;
                   }) >= count;
        });
    }
    bool HeardDuringAStart() {
        std::lock_guard<std::mutex> hold(lock_);
        return std::any_of(events_.begin(), events_.end(),
                           [](const P2PEvent& e) { return e.duringStart; });
    }

    // Set by the host around each P2PStartDown.
    std::atomic<bool> startInFlight{false};

private:
    void Add(P2PEvent event) {
        event.duringStart = startInFlight.load();
        std::lock_guard<std::mutex> hold(lock_);
        events_.push_back(std::move(event));
        added_.notify_all();
    }

    std::mutex lock_;
    std::condition_variable added_;
    std::vector<P2PEvent> events_;
};

std::vector<int> Slots(const std::vector<P2PEvent>& events) {
    std::vector<int> slots;
    for (const P2PEvent& event : events) {
        slots.push_back(event.slot);
    }
    return slots;
}

// One download's reports: 1, then progress (4) with bytes that grow, then complete (5) and the
// end (2); no failure.
void ExpectWholeDownload(const std::vector<P2PEvent>& events, int size, const char* which) {
    std::vector<int> slots = Slots(events);
    ASSERT_GE(slots.size(), 3u) << which;
    EXPECT_EQ(slots.front(), 1) << which;
    EXPECT_EQ(events.front().values[0], size) << which;
    EXPECT_EQ((std::vector<int>(slots.end() - 2, slots.end())), (std::vector<int>{5, 2})) << which;
    int bytes = 0;
    for (size_t i = 1; i + 2 < events.size(); ++i) {
        ASSERT_EQ(events[i].slot, 4) << which << ", report " << i;
        EXPECT_GT(events[i].values[0], bytes) << which << ", report " << i;
        EXPECT_LE(events[i].values[0], size) << which;
        EXPECT_EQ(events[i].values[1], size) << which;
        bytes = events[i].values[0];
    }
}

class P2PRoad : public RoadTest {
protected:
    void SetUp() override {
        RoadTest::SetUp();
        ASSERT_TRUE(server_.Listening());
        ASSERT_TRUE(InitProxy());
        ASSERT_TRUE(WaitForService());
    }
    void TearDown() override {
        EXPECT_TRUE(StopCoreServer());
        EXPECT_TRUE(UnInitProxy());
        RoadTest::TearDown();
    }

    TestHttpServer server_;
    RecordingObserver observer_;
};

TEST_F(P2PRoad, DownloadReachesTheObserverWithProgressAndCompletionByteExact) {
    constexpr int kSize = 512 * 1024;  // 64 pieces 10 ms apart: progress every 200 ms
    const std::string url = server_.Url("/file/" + std::to_string(kSize));
    const Sign sign(11, 22);
    const int value = 0;
    ASSERT_TRUE(P2PStartDown(&sign, url.c_str(), &value, 0, 0, &observer_, false));
    ASSERT_TRUE(observer_.WaitFor(sign, 2, 1, 30000));

    const std::vector<P2PEvent> events = observer_.EventsOf(sign);
    ExpectWholeDownload(events, kSize, "the download");
    const std::vector<int> slots = Slots(events);
    EXPECT_GE(std::count(slots.begin(), slots.end(), 4), 1);
    const std::string path = events.front().text;
    ASSERT_FALSE(path.empty());
    EXPECT_TRUE(brtest::ReadFile(path) == Body(kSize)) << path;

    int percent = -1;
    std::string reported;
    P2PGetResInfo(&sign, &percent, &reported);
    EXPECT_EQ(percent, 100);
    EXPECT_EQ(reported, path);
    EXPECT_EQ(observer_.Events().size(), events.size());  // nothing for another sign
}

// A slow download reports progress every 200 ms while the host starts one short download after
// another: each start holds the proxy's lock while it waits for the service, and the reports of
// the slow one and of the short ones keep arriving meanwhile. The starts go on until at least
// one notification was delivered while the host was inside a start; every start returns, and
// every download's reports arrive whole and in order.
TEST_F(P2PRoad, NotificationsArrivingWhileAStartWaitsAreDeliveredInOrder) {
    constexpr int kShort = 1024;
    constexpr int kMinStarts = 20;
    constexpr int kMaxStarts = 400;
    const Sign drip(1, 1);
    const int value = 0;
    ASSERT_TRUE(P2PStartDown(&drip, server_.Url("/drip").c_str(), &value, 0, 0, &observer_, false));
    ASSERT_TRUE(observer_.WaitFor(drip, 4, 1, 10000));

    const std::string shortUrl = server_.Url("/file/" + std::to_string(kShort));
    auto starts = std::async(std::launch::async, [&] {
        int started = 0;
        while (started < kMaxStarts && (started < kMinStarts || !observer_.HeardDuringAStart())) {
            const Sign sign(100 + started, 7);
            observer_.startInFlight = true;
            const bool accepted =
                P2PStartDown(&sign, shortUrl.c_str(), &value, 0, 0, &observer_, false);
            observer_.startInFlight = false;
            if (!accepted) {
                ADD_FAILURE() << "start " << started << " refused";
                break;
            }
            ++started;
        }
        P2PStopDown(&drip, &observer_);
        return std::make_pair(started, observer_.HeardDuringAStart());
    });
    if (starts.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
        std::fprintf(stderr, "deadlock: the starts did not return within 60 s\n");
        std::_Exit(3);
    }
    const auto [started, heardInsideAStart] = starts.get();
    EXPECT_TRUE(heardInsideAStart)
        << "no notification arrived during any of " << started << " starts";

    for (int i = 0; i < started; ++i) {
        const Sign sign(100 + i, 7);
        ASSERT_TRUE(observer_.WaitFor(sign, 2, 1, 30000)) << i;
        ExpectWholeDownload(observer_.EventsOf(sign), kShort, "a short download");
    }
    const std::vector<P2PEvent> slow = observer_.EventsOf(drip);
    ASSERT_FALSE(slow.empty());
    EXPECT_EQ(slow.front().slot, 1);
    int bytes = 0;
    for (size_t i = 1; i < slow.size(); ++i) {
        ASSERT_EQ(slow[i].slot, 4) << i;  // stopped by the host: no end is reported
        EXPECT_GT(slow[i].values[0], bytes) << i;
        bytes = slow[i].values[0];
    }
}

// The service dies while a download is registered: at the watchdog's next poll the observer
// hears slot 3 with code 6 and then slot 7, and the table is emptied, so a new start of the
// same sign goes to the restarted service and completes there.
TEST_F(P2PRoad, WatchdogResetsTheDownloadsOfALostService) {
    const Sign sign(5, 6);
    const int value = 0;
    ASSERT_TRUE(P2PStartDown(&sign, server_.Url("/drip").c_str(), &value, 0, 0, &observer_, false));
    ASSERT_TRUE(observer_.WaitFor(sign, 4, 1, 10000));
    const std::vector<DWORD> service = ServiceProcesses();
    ASSERT_EQ(service.size(), 1u);
    KillProcess(service[0]);

    ASSERT_TRUE(observer_.WaitFor(Sign(), 7, 1, 16000));  // the first poll, 12 s after InitProxy
    const std::vector<P2PEvent> events = observer_.Events();
    ASSERT_GE(events.size(), 2u);
    const P2PEvent& lost = events[events.size() - 2];
    EXPECT_EQ(lost.slot, 3);
    EXPECT_EQ(lost.sign, sign);
    EXPECT_EQ(lost.values[0], 6);
    EXPECT_EQ(events.back().slot, 7);
    // The reset logs after it has told the observers: wait for its line.
    EXPECT_TRUE(
        brtest::WaitUntil([&] { return LogCount("CP2PProxy::Reset", "CP2PProxy::Reset ok") > 0; }));
    EXPECT_EQ(LogCount("CP2PProxy::Reset", "CP2PProxy::Reset ok"), 1);

    ASSERT_TRUE(WaitForService());
    const std::string url = server_.Url("/file/1024");
    ASSERT_TRUE(P2PStartDown(&sign, url.c_str(), &value, 0, 0, &observer_, false));
    EXPECT_TRUE(observer_.WaitFor(sign, 2, 1, 30000));
}

}  // namespace
}  // namespace proxytest
