#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "test/kernel_test_util.h"
#include "windows.h"

namespace {

// Several threads wait on one event without limit and count how many have been let through.
class Waiters {
public:
    Waiters(HANDLE event, int count) {
        for (int i = 0; i < count; ++i) {
            threads_.emplace_back([this, event] {
                if (WaitForSingleObject(event, INFINITE) == WAIT_OBJECT_0) {
                    ++released_;
                }
            });
        }
    }
    ~Waiters() {
        for (auto& thread : threads_) {
            thread.join();
        }
    }
    int Released() const { return released_; }

private:
    std::atomic<int> released_{0};
    std::vector<std::thread> threads_;
};

TEST(EventWaiters, AutoResetReleasesExactlyOneWaiterPerSet) {
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    {
        Waiters waiters(event, 4);
        paltest::Settle();
        EXPECT_EQ(waiters.Released(), 0);
        for (int set = 1; set <= 4; ++set) {
            ASSERT_TRUE(SetEvent(event));
            ASSERT_TRUE(paltest::Eventually([&] { return waiters.Released() >= set; }));
            paltest::Settle();
            EXPECT_EQ(waiters.Released(), set);
        }
    }
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);  // every signal was taken
    CloseHandle(event);
}

TEST(EventWaiters, ManualResetReleasesEveryWaiterUntilReset) {
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    {
        Waiters waiters(event, 4);
        paltest::Settle();
        EXPECT_EQ(waiters.Released(), 0);
        ASSERT_TRUE(SetEvent(event));
        EXPECT_TRUE(paltest::Eventually([&] { return waiters.Released() == 4; }));
    }
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    ResetEvent(event);
    Waiters late(event, 2);
    paltest::Settle();
    EXPECT_EQ(late.Released(), 0);
    SetEvent(event);
    EXPECT_TRUE(paltest::Eventually([&] { return late.Released() == 2; }));
    CloseHandle(event);
}

TEST(EventWaiters, FiniteWaitEndsWhenTheEventIsSet) {
    // Long time-outs included: the proxy waits 3,600,000,000 ms, which must not overflow into a
    // wait that ends at once.
    for (DWORD timeout : {10000u, 0xD693A400u, INFINITE - 1}) {
        HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        std::thread setter([event] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            SetEvent(event);
        });
        auto start = paltest::Clock::now();
        EXPECT_EQ(WaitForSingleObject(event, timeout), WAIT_OBJECT_0);
        long long elapsed = paltest::MillisecondsSince(start);
        EXPECT_GE(elapsed, 40);
        EXPECT_LT(elapsed, 5000);
        setter.join();
        CloseHandle(event);
    }
}

TEST(EventWaiters, ManyHandoffsLoseNoSignal) {
    // Two threads hand a token back and forth through two auto-reset events.
    HANDLE ping = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE pong = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    const int rounds = 2000;
    std::thread other([&] {
        for (int i = 0; i < rounds; ++i) {
            ASSERT_EQ(WaitForSingleObject(ping, 10000), WAIT_OBJECT_0);
            SetEvent(pong);
        }
    });
    for (int i = 0; i < rounds; ++i) {
        SetEvent(ping);
        ASSERT_EQ(WaitForSingleObject(pong, 10000), WAIT_OBJECT_0) << "round " << i;
    }
    other.join();
    CloseHandle(ping);
    CloseHandle(pong);
}

}  // namespace
