// Timers: WM_TIMER through the owner thread's queue, the period, KillTimer, coalescing, timer
// procedures and thread timers.
#include <gtest/gtest.h>

#include "test/kernel_test_util.h"
#include "test/window_test_support.h"

namespace {

using paltest::Clock;
using paltest::MillisecondsSince;
using paltest::TakeAll;
using paltest::TestClass;
using paltest::WindowTest;

struct Fired {
    HWND hwnd;
    UINT message;
    UINT_PTR id;
};
std::vector<Fired> g_fired;

void CALLBACK RecordTimer(HWND hwnd, UINT message, UINT_PTR id, DWORD) {
    g_fired.push_back({hwnd, message, id});
}

class TimerTest : public WindowTest {
protected:
    TimerTest() { g_fired.clear(); }
    void SetUp() override {
        hwnd_ = windowClass_.Create(0, HWND_MESSAGE);
        ASSERT_NE(hwnd_, nullptr);
    }
    void TearDown() override { DestroyWindow(hwnd_); }

    // The next WM_TIMER the loop gets within the time, dispatched; nothing when none comes.
    std::optional<MSG> NextTimer(int milliseconds) {
        auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
        while (Clock::now() < deadline) {
            MSG msg;
            if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                DispatchMessageA(&msg);
                if (msg.message == WM_TIMER) {
                    return msg;
                }
                continue;
            }
            Sleep(1);
        }
        return std::nullopt;
    }

    TestClass windowClass_;
    HWND hwnd_ = nullptr;
};

TEST_F(TimerTest, RepeatsEveryPeriodUntilKilled) {
    ASSERT_EQ(SetTimer(hwnd_, 7, 40, nullptr), 7u);
    auto start = Clock::now();
    for (int tick = 1; tick <= 4; ++tick) {
        MSG msg;
        ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE);  // waits for the timer
        EXPECT_EQ(msg.hwnd, hwnd_);
        EXPECT_EQ(msg.message, WM_TIMER);
        EXPECT_EQ(msg.wParam, 7u);
        EXPECT_EQ(msg.lParam, 0);
        EXPECT_GE(MillisecondsSince(start), tick * 40 - 2);
    }
    EXPECT_LT(MillisecondsSince(start), 4 * 40 + 1000);
    EXPECT_TRUE(KillTimer(hwnd_, 7));
    EXPECT_FALSE(NextTimer(200));
    SetLastError(0);
    EXPECT_FALSE(KillTimer(hwnd_, 7));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(TimerTest, ExpiriesWhileBusyGiveOneMessage) {
    ASSERT_TRUE(SetTimer(hwnd_, 1, 20, nullptr));
    Sleep(200);  // ten periods without taking a message
    auto taken = TakeAll();
    ASSERT_EQ(paltest::MessagesOf(taken), std::vector<UINT>{WM_TIMER});
    // The next one comes a period or less later, not at once.
    auto start = Clock::now();
    MSG msg;
    ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE);
    EXPECT_EQ(msg.message, WM_TIMER);
    EXPECT_GE(MillisecondsSince(start), 1);
    EXPECT_LE(MillisecondsSince(start), 20 + 500);
    KillTimer(hwnd_, 1);
}

TEST_F(TimerTest, ComesAfterPostedMessagesAndStaysWhenPeekedWithoutRemoving) {
    ASSERT_TRUE(SetTimer(hwnd_, 2, 10, nullptr));
    Sleep(30);
    PostMessageA(hwnd_, WM_USER, 0, 0);
    PostMessageA(nullptr, WM_USER + 1, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_TIMER);
    EXPECT_EQ(paltest::MessagesOf(TakeAll()), (std::vector<UINT>{WM_USER, WM_USER + 1, WM_TIMER}));
    KillTimer(hwnd_, 2);
}

TEST_F(TimerTest, SettingAgainRestartsTheSameTimer) {
    ASSERT_TRUE(SetTimer(hwnd_, 3, 30, nullptr));
    Sleep(20);
    ASSERT_TRUE(SetTimer(hwnd_, 3, 300, &RecordTimer));  // restarts with the new period
    EXPECT_FALSE(NextTimer(150));
    auto msg = NextTimer(1000);
    ASSERT_TRUE(msg);
    EXPECT_EQ(msg->lParam, reinterpret_cast<LPARAM>(&RecordTimer));
    ASSERT_EQ(g_fired.size(), 1u);  // one timer, not two
    EXPECT_EQ(g_fired[0].hwnd, hwnd_);
    EXPECT_EQ(g_fired[0].message, WM_TIMER);
    EXPECT_EQ(g_fired[0].id, 3u);
    EXPECT_TRUE(KillTimer(hwnd_, 3));
}

TEST_F(TimerTest, DispatchCallsTheProcedureOfALiveTimerOnly) {
    ASSERT_TRUE(SetTimer(hwnd_, 4, 10, &RecordTimer));
    auto msg = NextTimer(1000);
    ASSERT_TRUE(msg);
    ASSERT_EQ(g_fired.size(), 1u);
    paltest::Log().Clear();
    EXPECT_TRUE(KillTimer(hwnd_, 4));
    // The same message again, and one naming no timer, call nothing (and no window procedure).
    DispatchMessageA(&*msg);
    MSG forged{hwnd_, WM_TIMER, 99, reinterpret_cast<LPARAM>(&RecordTimer), 0, {0, 0}};
    DispatchMessageA(&forged);
    EXPECT_EQ(g_fired.size(), 1u);
    EXPECT_TRUE(paltest::Log().All().empty());
}

TEST_F(TimerTest, ThreadTimersGetTheirOwnIds) {
    UINT_PTR id = SetTimer(nullptr, 0, 10, &RecordTimer);
    ASSERT_NE(id, 0u);
    UINT_PTR second = SetTimer(nullptr, 12345, 10, &RecordTimer);  // no such timer: a new id
    ASSERT_NE(second, 0u);
    EXPECT_NE(second, id);
    EXPECT_EQ(SetTimer(nullptr, id, 10, &RecordTimer), id);  // an existing one is restarted
    EXPECT_TRUE(KillTimer(nullptr, second));
    auto msg = NextTimer(1000);
    ASSERT_TRUE(msg);
    EXPECT_EQ(msg->hwnd, nullptr);
    EXPECT_EQ(msg->wParam, id);
    ASSERT_EQ(g_fired.size(), 1u);
    EXPECT_EQ(g_fired[0].id, id);
    EXPECT_TRUE(KillTimer(nullptr, id));
}

TEST_F(TimerTest, WindowTimerIdZeroAndErrors) {
    EXPECT_EQ(SetTimer(hwnd_, 0, 100, nullptr), 1u);
    EXPECT_TRUE(KillTimer(hwnd_, 0));
    const HWND noWindow = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x77));
    SetLastError(0);
    EXPECT_EQ(SetTimer(noWindow, 1, 100, nullptr), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    SetLastError(0);
    EXPECT_FALSE(KillTimer(noWindow, 1));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    SetLastError(0);
    EXPECT_FALSE(KillTimer(nullptr, 424242));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(TimerTest, DestroyingTheWindowEndsItsTimers) {
    HWND other = windowClass_.Create(0, HWND_MESSAGE);
    ASSERT_NE(other, nullptr);
    ASSERT_TRUE(SetTimer(other, 5, 10, nullptr));
    ASSERT_TRUE(SetTimer(hwnd_, 5, 10, nullptr));
    ASSERT_TRUE(DestroyWindow(other));
    for (int i = 0; i < 3; ++i) {
        auto msg = NextTimer(1000);
        ASSERT_TRUE(msg);
        EXPECT_EQ(msg->hwnd, hwnd_);
    }
    KillTimer(hwnd_, 5);
}

}  // namespace
