#include <gtest/gtest.h>

#include "test/kernel_test_util.h"
#include "test_root.h"
#include "windows.h"

namespace {

TEST(CreateEventA, InitialStateAndResetKind) {
    const struct {
        BOOL manualReset;
        BOOL initialState;
        DWORD firstWait;
        DWORD secondWait;
    } cases[] = {
        {FALSE, FALSE, WAIT_TIMEOUT, WAIT_TIMEOUT},
        {FALSE, TRUE, WAIT_OBJECT_0, WAIT_TIMEOUT},  // the first waiter takes the signal
        {TRUE, FALSE, WAIT_TIMEOUT, WAIT_TIMEOUT},
        {TRUE, TRUE, WAIT_OBJECT_0, WAIT_OBJECT_0},  // stays signalled
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "manual " << c.manualReset << " initial " << c.initialState);
        SetLastError(ERROR_ACCESS_DENIED);
        HANDLE event = CreateEventA(nullptr, c.manualReset, c.initialState, nullptr);
        ASSERT_NE(event, nullptr);
        EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
        EXPECT_EQ(WaitForSingleObject(event, 0), c.firstWait);
        EXPECT_EQ(WaitForSingleObject(event, 0), c.secondWait);
        EXPECT_TRUE(CloseHandle(event));
    }
}

TEST(CreateEventA, EmptyNameIsUnnamedAndOtherNamesAreRefused) {
    HANDLE unnamed = CreateEventA(nullptr, FALSE, TRUE, "");
    ASSERT_NE(unnamed, nullptr);
    EXPECT_EQ(WaitForSingleObject(unnamed, 0), WAIT_OBJECT_0);
    CloseHandle(unnamed);

    SetLastError(0);
    EXPECT_EQ(CreateEventA(nullptr, TRUE, FALSE, "Shared"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
}

TEST(SetEvent, SignalsAreNotCounted) {
    const struct {
        BOOL manualReset;
        int sets;
        bool resetAfter;
        int waitsThatPass;  // of three waits with time-out 0
    } cases[] = {
        {FALSE, 1, false, 1}, {FALSE, 3, false, 1}, {TRUE, 1, false, 3},
        {TRUE, 2, true, 0},   {FALSE, 1, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "manual " << c.manualReset << " sets " << c.sets
                                        << " reset " << c.resetAfter);
        HANDLE event = CreateEventA(nullptr, c.manualReset, FALSE, nullptr);
        for (int i = 0; i < c.sets; ++i) {
            EXPECT_TRUE(SetEvent(event));
        }
        if (c.resetAfter) {
            EXPECT_TRUE(ResetEvent(event));
        }
        int passed = 0;
        for (int i = 0; i < 3; ++i) {
            passed += WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
        }
        EXPECT_EQ(passed, c.waitsThatPass);
        CloseHandle(event);
    }
}

TEST(SetEvent, HandlesThatAreNoEventFail) {
    brtest::ScopedTestRoot root;
    HANDLE closed = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    CloseHandle(closed);
    HANDLE notAnEvent = CreateMutexA(nullptr, FALSE, "NotAnEvent");
    ASSERT_NE(notAnEvent, nullptr);
    const HANDLE cases[] = {nullptr, closed, reinterpret_cast<HANDLE>(0x7777), notAnEvent};
    for (HANDLE handle : cases) {
        SetLastError(0);
        EXPECT_FALSE(SetEvent(handle));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        SetLastError(0);
        EXPECT_FALSE(ResetEvent(handle));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    }
    SetLastError(0);
    EXPECT_EQ(WaitForSingleObject(closed, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    CloseHandle(notAnEvent);
}

TEST(WaitForSingleObject, UnsignalledEventTimesOutAfterItsTime) {
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    for (DWORD timeout : {0u, 1u, 60u, 250u}) {
        auto start = paltest::Clock::now();
        EXPECT_EQ(WaitForSingleObject(event, timeout), WAIT_TIMEOUT);
        long long elapsed = paltest::MillisecondsSince(start);
        EXPECT_GE(elapsed, timeout);
        EXPECT_LT(elapsed, timeout + 1000);
    }
    CloseHandle(event);
}

}  // namespace
