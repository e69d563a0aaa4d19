// The queue's hooks for messages that are made when due rather than posted.
#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <thread>

#include "test/kernel_test_util.h"
#include "window/message_queue.h"

namespace {

using pal::MessageFilter;
using pal::MessageQueue;
using pal::MessageSource;

// Hands out the messages it is given, possibly from another thread, and optionally only after a
// due time.
class FakeSource : public MessageSource {
public:
    void Give(UINT message) {
        std::lock_guard<std::mutex> guard(lock_);
        pending_.push_back(message);
    }
    void DueAt(pal::WakeTime due) { due_ = due; }

    bool Take(const MessageFilter& filter, bool remove, MSG* msg,
              std::optional<pal::WakeTime>* wakeAt) override {
        ++asked;
        if (due_) {
            if (std::chrono::steady_clock::now() < *due_) {
                if (!*wakeAt || *due_ < **wakeAt) {
                    *wakeAt = due_;
                }
                return false;
            }
        }
        std::lock_guard<std::mutex> guard(lock_);
        for (auto it = pending_.begin(); it != pending_.end(); ++it) {
            MSG candidate{nullptr, *it, 0, 0, 0, {0, 0}};
            if (filter.Matches(candidate)) {
                *msg = candidate;
                if (remove) {
                    pending_.erase(it);
                }
                return true;
            }
        }
        return false;
    }

    std::atomic<int> asked{0};

private:
    std::mutex lock_;
    std::deque<UINT> pending_;
    std::optional<pal::WakeTime> due_;
};

std::vector<UINT> Drain(MessageQueue& queue) {
    std::vector<UINT> taken;
    MSG msg;
    while (queue.Take(MessageFilter{}, true, false, &msg)) {
        taken.push_back(msg.message);
        if (msg.message == WM_QUIT) {
            break;
        }
    }
    return taken;
}

TEST(MessageQueueSources, AreAskedInWindowsOrderAroundPostsAndQuit) {
    MessageQueue queue;
    FakeSource sent, timers;
    queue.AddSource(&timers, MessageSource::Stage::kAfterQuit);
    queue.AddSource(&sent, MessageSource::Stage::kBeforePosted);
    queue.Post(nullptr, WM_USER + 1, 0, 0);
    queue.PostQuit(0);
    sent.Give(WM_USER + 2);
    timers.Give(WM_USER + 3);
    EXPECT_EQ(Drain(queue), (std::vector<UINT>{WM_USER + 2, WM_USER + 1, WM_QUIT}));
    EXPECT_EQ(Drain(queue), std::vector<UINT>{WM_USER + 3});
    queue.RemoveSource(&timers);
    timers.Give(WM_USER + 4);
    EXPECT_TRUE(Drain(queue).empty());
}

TEST(MessageQueueSources, WakeMakesAWaitingTakeLookAgain) {
    MessageQueue queue;
    FakeSource sent;
    queue.AddSource(&sent, MessageSource::Stage::kBeforePosted);
    std::thread sender([&] {
        paltest::Settle();
        sent.Give(WM_USER + 7);
        queue.Wake();
    });
    MSG msg;
    ASSERT_TRUE(queue.Take(MessageFilter{}, true, true, &msg));
    EXPECT_EQ(msg.message, WM_USER + 7);
    sender.join();
}

TEST(MessageQueueSources, WaitingTakeWakesAtTheSourcesDueTime) {
    MessageQueue queue;
    FakeSource timer;
    timer.Give(WM_USER + 8);
    timer.DueAt(std::chrono::steady_clock::now() + std::chrono::milliseconds(80));
    queue.AddSource(&timer, MessageSource::Stage::kAfterQuit);
    auto start = paltest::Clock::now();
    MSG msg;
    ASSERT_TRUE(queue.Take(MessageFilter{}, true, true, &msg));
    EXPECT_EQ(msg.message, WM_USER + 8);
    EXPECT_GE(paltest::MillisecondsSince(start), 80);
    EXPECT_LT(timer.asked.load(), 10);  // woke at the time, did not poll
}

TEST(MessageQueue, CloseEndsAWaitingTakeAndRefusesPosts) {
    MessageQueue queue;
    std::thread closer([&] {
        paltest::Settle();
        queue.Close();
    });
    MSG msg;
    EXPECT_FALSE(queue.Take(MessageFilter{}, true, true, &msg));
    closer.join();
    EXPECT_EQ(queue.Post(nullptr, WM_USER, 0, 0), MessageQueue::PostResult::kClosed);
}

TEST(MessageFilter, MatchesByWindowAndRange) {
    const HWND window = reinterpret_cast<HWND>(0x40);
    const HWND other = reinterpret_cast<HWND>(0x44);
    const struct {
        MessageFilter filter;
        HWND hwnd;
        UINT message;
        bool matches;
    } cases[] = {
        {{nullptr, 0, 0}, window, WM_USER, true},
        {{pal::kThreadMessagesOnly, 0, 0}, nullptr, WM_USER, true},
        {{pal::kThreadMessagesOnly, 0, 0}, window, WM_USER, false},
        {{window, 0, 0}, window, WM_USER, true},
        {{window, 0, 0}, other, WM_USER, false},
        {{window, 0, 0}, nullptr, WM_USER, false},
        {{window, 0, 0}, nullptr, WM_QUIT, true},
        {{nullptr, WM_USER, WM_USER}, nullptr, WM_USER, true},
        {{nullptr, WM_USER, WM_USER}, nullptr, WM_USER + 1, false},
        {{nullptr, WM_USER, WM_USER}, nullptr, WM_QUIT, true},
        {{nullptr, 2, 1}, nullptr, 1, false},
    };
    for (const auto& c : cases) {
        MSG msg{c.hwnd, c.message, 0, 0, 0, {0, 0}};
        EXPECT_EQ(c.filter.Matches(msg), c.matches)
            << c.filter.hwnd << " " << c.filter.min << "-" << c.filter.max << " " << c.hwnd << " "
            << c.message;
    }
}

}  // namespace
