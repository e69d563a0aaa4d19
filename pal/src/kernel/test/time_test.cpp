#include <gtest/gtest.h>

#include "test/kernel_test_util.h"
#include "windows.h"

namespace {

TEST(Sleep, LastsAtLeastItsTime) {
    for (DWORD ms : {0u, 1u, 30u, 120u}) {
        auto start = paltest::Clock::now();
        Sleep(ms);
        long long elapsed = paltest::MillisecondsSince(start);
        EXPECT_GE(elapsed, ms);
        EXPECT_LT(elapsed, ms + 1000);
    }
}

TEST(GetTickCount, NeverGoesBackAndFollowsSleep) {
    DWORD previous = GetTickCount();
    for (int i = 0; i < 10000; ++i) {
        DWORD now = GetTickCount();
        ASSERT_LT(now - previous, 1000u);  // a step back would show as a huge unsigned step
        previous = now;
    }
    DWORD before = GetTickCount();
    Sleep(60);
    DWORD after = GetTickCount();
    EXPECT_GE(after - before, 60u);
    EXPECT_LT(after - before, 1060u);
}

}  // namespace
