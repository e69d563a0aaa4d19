// Notifications that the service raises while the P2P proxy waits, lock held, for its answer
// to a call: they arrive without a deadlock, in order, before the call returns and before its
// answer takes effect. At every other time a notification waits for the lock and is delivered
// on the call center's thread.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <mutex>
#include <thread>

#include "msg_ids.h"
#include "p2p_protocol.h"
#include "p2p_script.h"
#include "proxy_fixture.h"

namespace proxytest {
namespace {

// Runs work on a thread and waits for it; a deadlock ends the test program with a message
// instead of hanging until the suite's time-out.
template <typename Work>
auto WithinSeconds(int seconds, Work work) {
    auto result = std::async(std::launch::async, work);
    if (result.wait_for(std::chrono::seconds(seconds)) != std::future_status::ready) {
        std::fprintf(stderr, "deadlock: the operation did not return within %d s\n", seconds);
        std::_Exit(3);
    }
    return result.get();
}

class P2PHazard : public ProxyRoad {
protected:
    // The service answers a start with the byte after raising these notifications, each one
    // delivered (the fake's call returned) before the next.
    void RaiseDuringStart(std::vector<Bytes> notifications, std::optional<uint8_t> accepted) {
        service_.SetAnswer([this, notifications, accepted](const Received& request) -> Answer {
            if (request.payload.at(0) != P2P_CMD_START_DOWN) {
                return std::nullopt;
            }
            for (const Bytes& payload : notifications) {
                notified_.push_back(service_.Notify(CHANNEL_P2P, payload));
            }
            return accepted.has_value() ? Answer(Bytes{*accepted}) : Answer(std::nullopt);
        });
    }

    Observers observers_{journal_};
    std::vector<HRESULT> notified_;  // the fake's thread only, read after the call returned
};

TEST_F(P2PHazard, NotificationsDuringAnAcceptedStartArriveInOrderBeforeItReturns) {
    RaiseDuringStart({Notification1(1, "first", 1), Notification5(1), Notification3(1, 2)}, 1);
    const Sign sign = TestSign(1);
    const size_t heardAtReturn = WithinSeconds(10, [&] {
        EXPECT_TRUE(p2p_->P2PStartDown(&sign, "t", 0, 0, 0, observers_['A'], false));
        return journal_.Lines().size();
    });
    EXPECT_EQ(notified_, (std::vector<HRESULT>{S_OK, S_OK, S_OK}));
    EXPECT_EQ(heardAtReturn, 3u);
    EXPECT_EQ(journal_.Lines(),
              (std::vector<std::string>{"A.1 1,101 first 1", "A.5 1,101", "A.3 1,101 2"}));
    // The entry stands: a later notification still reaches the observer.
    ASSERT_EQ(service_.Notify(CHANNEL_P2P, Notification5(1)), S_OK);
    EXPECT_EQ(journal_.Lines().back(), "A.5 1,101");
}

// The notifications came before the refusal: the observer hears them, then the refusal removes
// its entry.
TEST_F(P2PHazard, NotificationsDuringARefusedStartComeBeforeTheRefusal) {
    RaiseDuringStart({Notification3(1, 4)}, 0);
    const Sign sign = TestSign(1);
    EXPECT_FALSE(WithinSeconds(
        10, [&] { return p2p_->P2PStartDown(&sign, "t", 0, 0, 0, observers_['A'], false); }));
    EXPECT_EQ(journal_.Lines(), std::vector<std::string>{"A.3 1,101 4"});
    ASSERT_EQ(service_.Notify(CHANNEL_P2P, Notification5(1)), S_OK);
    EXPECT_EQ(journal_.Lines().size(), 1u);
}

// Notification 2 during the start removes the entry; the acceptance that follows leaves it
// removed, so a stop has nothing to send.
TEST_F(P2PHazard, Notification2DuringAStartEndsTheEntry) {
    RaiseDuringStart({Notification2(1)}, 1);
    const Sign sign = TestSign(1);
    EXPECT_TRUE(WithinSeconds(
        10, [&] { return p2p_->P2PStartDown(&sign, "t", 0, 0, 0, observers_['A'], false); }));
    p2p_->P2PStopDown(&sign, observers_['A']);
    p2p_->P2PStopAll();
    ASSERT_TRUE(service_.WaitForRequests(2));
    EXPECT_EQ(Describe(service_.Requests(), observers_),
              (std::vector<std::string>{"5 1,101 A", "10"}));
    EXPECT_EQ(journal_.Lines(), std::vector<std::string>{"A.2 1,101"});
}

// The service raises a notification and then does not answer: the notification is heard first,
// then the Reset.
TEST_F(P2PHazard, NotificationsBeforeAFailedAnswerComeBeforeTheReset) {
    RaiseDuringStart({Notification1(1, "n", 3)}, std::nullopt);
    const Sign sign = TestSign(1);
    EXPECT_FALSE(WithinSeconds(
        10, [&] { return p2p_->P2PStartDown(&sign, "t", 0, 0, 0, observers_['A'], false); }));
    EXPECT_EQ(journal_.Lines(), (std::vector<std::string>{"A.1 1,101 n 3", "A.3 1,101 6", "A.7"}));
}

TEST_F(P2PHazard, NotificationsDuringGetResInfoArrive) {
    const Sign sign = TestSign(2);
    p2p_->P2PDelRes(&sign, observers_['B']);
    service_.SetAnswer([this](const Received& request) -> Answer {
        if (request.payload.at(0) != P2P_CMD_GET_RES_INFO) {
            return std::nullopt;
        }
        notified_.push_back(service_.Notify(CHANNEL_P2P, Notification5(2)));
        return Cat({Ints({6}), Text("info")});
    });
    int value = 0;
    std::string text;
    WithinSeconds(10, [&] {
        p2p_->P2PGetResInfo(&sign, &value, &text);
        return 0;
    });
    EXPECT_EQ(value, 6);
    EXPECT_EQ(text, "info");
    EXPECT_EQ(journal_.Lines(), std::vector<std::string>{"B.5 2,102"});
}

// An observer blocks inside Reset, so the lock stays held on the host's thread. A notification
// that comes meanwhile waits for the lock (Reset is no call that waits for the service) and is
// handled after the Reset, on the call center's thread, not by the host inside its Reset.
class BlockingObserver final : public P2PObserver {
public:
    void OnP2PNotify3(const Sign&, int) override {
        entered.set_value();
        release.get_future().wait();
    }
    std::promise<void> entered;
    std::promise<void> release;
};

// The "[process:thread]" of the first log line from at that holds text; empty when none does.
std::string ThreadOfLine(const std::string& log, const std::string& text, size_t at = 0) {
    const size_t found = log.find(text, at);
    if (found == std::string::npos) {
        return "";
    }
    const size_t newline = log.rfind('\n', found);
    const size_t open = log.find('[', newline == std::string::npos ? 0 : newline);
    const size_t close = log.find(']', open);
    return open < found && close < found ? log.substr(open, close - open + 1) : "";
}

TEST_F(P2PHazard, DispatchWaitsForAResetAndHandlesItsNotificationAfterIt) {
    BlockingObserver blocking;
    const Sign sign = TestSign(1);
    p2p_->P2PDelRes(&sign, &blocking);
    std::thread host([&] { p2p_->Reset(); });
    blocking.entered.get_future().wait();

    auto notified = std::async(std::launch::async, [&] {
        return service_.Notify(CHANNEL_P2P, Cat({Ints({9}), Notification5(1)}));
    });
    constexpr auto kWaitWindow = std::chrono::milliseconds(300);
    EXPECT_EQ(notified.wait_for(kWaitWindow), std::future_status::timeout)
        << "the notification did not wait for the lock";
    const std::string unknown = " 0 CP2PProxy::Dispatch: " + Gbk("未知notifytype 9");
    EXPECT_EQ(Log().find(unknown), std::string::npos);

    blocking.release.set_value();
    host.join();
    EXPECT_EQ(WithinSeconds(10, [&] { return notified.get(); }), S_OK);
    const std::string log = Log();
    const size_t reset = log.find("CP2PProxy::Reset ok");
    ASSERT_NE(reset, std::string::npos);
    ASSERT_NE(log.find(unknown, reset), std::string::npos) << log;
    EXPECT_NE(ThreadOfLine(log, unknown, reset), ThreadOfLine(log, "CP2PProxy::Reset ok")) << log;
}

// Records on which thread each of its calls came.
class ThreadRecordingObserver final : public P2PObserver {
public:
    void OnP2PNotify5(const Sign&) override {
        std::lock_guard<std::mutex> hold(lock_);
        threads_.push_back(std::this_thread::get_id());
    }
    std::vector<std::thread::id> Threads() {
        std::lock_guard<std::mutex> hold(lock_);
        return threads_;
    }

private:
    std::mutex lock_;
    std::vector<std::thread::id> threads_;
};

// While the host runs posted operations one after another, every notification is delivered on
// the call center's thread: none runs on the host's thread inside a posted operation, where an
// observer taking a lock the host holds across the operation would deadlock.
TEST_F(P2PHazard, NotificationsDuringPostedOperationsComeOnTheCallCentersThread) {
    ThreadRecordingObserver observer;
    const Sign sign = TestSign(1);
    p2p_->P2PDelRes(&sign, &observer);
    std::atomic<bool> done{false};
    std::promise<std::thread::id> hostId;
    std::thread host([&] {
        hostId.set_value(std::this_thread::get_id());
        while (!done) {
            p2p_->P2PDelRes(&sign, &observer);
            p2p_->P2PStopAll();
            p2p_->P2PSetSysMsgWnd(1);
            p2p_->P2PEnableVIPService(1, true, 0);
        }
    });
    const std::thread::id hostThread = hostId.get_future().get();
    constexpr int kNotifications = 300;
    WithinSeconds(60, [&] {
        for (int i = 0; i < kNotifications; ++i) {
            EXPECT_EQ(service_.Notify(CHANNEL_P2P, Notification5(1)), S_OK);
        }
        return 0;
    });
    done = true;
    host.join();
    const std::vector<std::thread::id> threads = observer.Threads();
    EXPECT_EQ(threads.size(), static_cast<size_t>(kNotifications));
    EXPECT_EQ(std::count(threads.begin(), threads.end(), hostThread), 0);
}

// Many starts and stops on several threads while the service raises a notification inside
// every start and streams progress from a thread of its own: no deadlock, and every accepted
// start's own notification reaches its observer before the start returns.
TEST_F(P2PHazard, StartsStopsAndNotificationsOnManyThreads) {
    service_.SetAnswer([this](const Received& request) -> Answer {
        if (request.payload.at(0) != P2P_CMD_START_DOWN) {
            return std::nullopt;
        }
        Bytes notification = request.payload;  // notification 1 for the started sign
        notification.resize(12);
        notification[0] = 1;
        notification = Cat({notification, Text("started"), Ints({0})});
        service_.Notify(CHANNEL_P2P, notification);
        return Bytes{1};
    });
    std::atomic<bool> done{false};
    std::thread progress([&] {
        for (int i = 0; !done; ++i) {
            service_.Notify(CHANNEL_P2P, Notification5(i % 8));
        }
    });
    constexpr int kThreads = 4;
    constexpr int kRounds = 40;
    std::vector<Journal> journals(kThreads);
    WithinSeconds(60, [&] {
        std::vector<std::thread> hosts;
        for (int t = 0; t < kThreads; ++t) {
            hosts.emplace_back([&, t] {
                RecordingObserver observer(journals[t], "T");
                const Sign sign = TestSign(t);
                for (int round = 0; round < kRounds; ++round) {
                    const size_t before = journals[t].Lines().size();
                    EXPECT_TRUE(p2p_->P2PStartDown(&sign, "t", 0, 0, 0, &observer, false));
                    const std::vector<std::string> lines = journals[t].Lines();
                    EXPECT_NE(std::find(lines.begin() + before, lines.end(),
                                        "T.1 " + SignText(sign) + " started 0"),
                              lines.end());
                    p2p_->P2PStopDown(&sign, &observer);
                }
            });
        }
        for (std::thread& host : hosts) {
            host.join();
        }
        return 0;
    });
    done = true;
    progress.join();
}

}  // namespace
}  // namespace proxytest
