#include <pthread.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <set>
#include <thread>
#include <vector>

#include "test/kernel_test_util.h"
#include "windows.h"

namespace {

HANDLE AsHandle(uintptr_t value) {
    return reinterpret_cast<HANDLE>(value);
}

unsigned __stdcall ReturnArgument(void* argument) {
    return static_cast<unsigned>(reinterpret_cast<uintptr_t>(argument));
}

struct IdReport {
    std::atomic<DWORD> seen{0};
};

unsigned __stdcall ReportId(void* argument) {
    static_cast<IdReport*>(argument)->seen = GetCurrentThreadId();
    return 0;
}

unsigned __stdcall WaitOnEvent(void* argument) {
    return WaitForSingleObject(static_cast<HANDLE>(argument), INFINITE) == WAIT_OBJECT_0 ? 5 : 6;
}

TEST(BeginThreadEx, RunsTheRoutineAndKeepsItsResult) {
    for (unsigned code : {0u, 7u, 258u, 0xFFFFFFFFu}) {
        unsigned id = 0;
        HANDLE thread = AsHandle(_beginthreadex(nullptr, 0, &ReturnArgument,
                                                reinterpret_cast<void*>(uintptr_t{code}), 0, &id));
        ASSERT_NE(thread, nullptr);
        EXPECT_NE(id, 0u);
        EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
        DWORD exitCode = 1;
        EXPECT_TRUE(GetExitCodeThread(thread, &exitCode));
        EXPECT_EQ(exitCode, code);
        // An ended thread stays signalled.
        EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
        EXPECT_TRUE(CloseHandle(thread));
    }
}

TEST(BeginThreadEx, ReportsTheIdTheThreadSees) {
    IdReport report;
    unsigned id = 0;
    HANDLE thread = AsHandle(_beginthreadex(nullptr, 0, &ReportId, &report, 0, &id));
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    EXPECT_EQ(report.seen.load(), id);
    EXPECT_NE(id, GetCurrentThreadId());
    CloseHandle(thread);

    HANDLE noId = AsHandle(_beginthreadex(nullptr, 0, &ReportId, &report, 0, nullptr));
    ASSERT_NE(noId, nullptr);
    WaitForSingleObject(noId, INFINITE);
    EXPECT_NE(report.seen.load(), id);
    CloseHandle(noId);
}

TEST(BeginThreadEx, RefusesBadArguments) {
    const struct {
        unsigned(__stdcall* routine)(void*);
        unsigned flags;
    } cases[] = {{nullptr, 0}, {&ReturnArgument, 0x1}, {&ReturnArgument, 0x80000000u}};
    for (const auto& c : cases) {
        errno = 0;
        SetLastError(0);
        unsigned id = 99;
        EXPECT_EQ(_beginthreadex(nullptr, 0, c.routine, nullptr, c.flags, &id), 0u);
        EXPECT_EQ(errno, EINVAL);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
        EXPECT_EQ(id, 99u);
    }
}

unsigned __stdcall ReportStackSize(void* argument) {
    pthread_attr_t attr;
    pthread_getattr_np(pthread_self(), &attr);
    size_t size = 0;
    pthread_attr_getstacksize(&attr, &size);
    pthread_attr_destroy(&attr);
    *static_cast<size_t*>(argument) = size;
    return 0;
}

TEST(BeginThreadEx, StackSizeAboveTheDefaultEnlargesTheStack) {
    const unsigned large = 64u << 20;
    for (unsigned flags : {0u, STACK_SIZE_PARAM_IS_A_RESERVATION}) {
        size_t size = 0;
        HANDLE thread =
            AsHandle(_beginthreadex(nullptr, large, &ReportStackSize, &size, flags, nullptr));
        ASSERT_NE(thread, nullptr);
        WaitForSingleObject(thread, INFINITE);
        EXPECT_GE(size, large);
        CloseHandle(thread);
    }
    size_t small = 0;
    HANDLE thread = AsHandle(_beginthreadex(nullptr, 4096, &ReportStackSize, &small, 0, nullptr));
    WaitForSingleObject(thread, INFINITE);
    EXPECT_GE(small, 1u << 20);  // never below the default
    CloseHandle(thread);
}

TEST(GetExitCodeThread, StillActiveWhileRunning) {
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = AsHandle(_beginthreadex(nullptr, 0, &WaitOnEvent, go, 0, nullptr));
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_TIMEOUT);
    auto start = paltest::Clock::now();
    EXPECT_EQ(WaitForSingleObject(thread, 80), WAIT_TIMEOUT);
    EXPECT_GE(paltest::MillisecondsSince(start), 80);
    SetEvent(go);
    EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 5u);
    CloseHandle(thread);
    CloseHandle(go);
}

TEST(GetExitCodeThread, FailsForHandlesThatAreNoThread) {
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD code = 12;
    for (HANDLE handle : {static_cast<HANDLE>(nullptr), event, reinterpret_cast<HANDLE>(0x7770)}) {
        SetLastError(0);
        EXPECT_FALSE(GetExitCodeThread(handle, &code));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    }
    EXPECT_EQ(code, 12u);
    HANDLE thread = AsHandle(_beginthreadex(nullptr, 0, &ReturnArgument, nullptr, 0, nullptr));
    SetLastError(0);
    EXPECT_FALSE(GetExitCodeThread(thread, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    CloseHandle(event);
}

TEST(BeginThreadEx, ThreadRunsOnAfterItsHandleIsClosed) {
    HANDLE go = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    struct Pair {
        HANDLE go, done;
    } pair{go, done};
    HANDLE thread = AsHandle(_beginthreadex(
        nullptr, 0,
        [](void* argument) -> unsigned {
            auto* p = static_cast<Pair*>(argument);
            WaitForSingleObject(p->go, INFINITE);
            SetEvent(p->done);
            return 0;
        },
        &pair, 0, nullptr));
    EXPECT_TRUE(CloseHandle(thread));
    SetEvent(go);
    EXPECT_EQ(WaitForSingleObject(done, 10000), WAIT_OBJECT_0);
    CloseHandle(go);
    CloseHandle(done);
}

TEST(ResumeThread, SuspendedThreadStartsOnlyWhenResumed) {
    std::atomic<bool> ran{false};
    HANDLE thread = AsHandle(_beginthreadex(
        nullptr, 0,
        [](void* argument) -> unsigned {
            *static_cast<std::atomic<bool>*>(argument) = true;
            return 3;
        },
        &ran, CREATE_SUSPENDED, nullptr));
    ASSERT_NE(thread, nullptr);
    paltest::Settle();
    EXPECT_FALSE(ran);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_TIMEOUT);
    EXPECT_EQ(ResumeThread(thread), 1u);
    EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    EXPECT_TRUE(ran);
    EXPECT_EQ(ResumeThread(thread), 0u);
    CloseHandle(thread);

    SetLastError(0);
    EXPECT_EQ(ResumeThread(reinterpret_cast<HANDLE>(0x7770)), static_cast<DWORD>(-1));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(GetCurrentThreadId, StableNonzeroAndDistinctPerThread) {
    DWORD mine = GetCurrentThreadId();
    EXPECT_NE(mine, 0u);
    EXPECT_EQ(GetCurrentThreadId(), mine);
    const int count = 8;
    std::vector<DWORD> ids(count);
    std::vector<std::thread> threads;
    std::atomic<int> ready{0};
    for (int i = 0; i < count; ++i) {
        threads.emplace_back([&, i] {
            ids[i] = GetCurrentThreadId();
            ++ready;
            while (ready < count) {  // all alive at once
                std::this_thread::yield();
            }
            EXPECT_EQ(GetCurrentThreadId(), ids[i]);
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    std::set<DWORD> distinct(ids.begin(), ids.end());
    distinct.insert(mine);
    EXPECT_EQ(distinct.size(), static_cast<size_t>(count + 1));
    EXPECT_EQ(distinct.count(0), 0u);
}

// ---- TerminateThread ----

struct Victim {
    HANDLE event = nullptr;
    std::atomic<int> ticks{0};
    std::atomic<bool> returnedToCode{false};
};

unsigned __stdcall BlockOnEvent(void* argument) {
    auto* victim = static_cast<Victim*>(argument);
    WaitForSingleObject(victim->event, INFINITE);
    victim->returnedToCode = true;
    return 1;
}

unsigned __stdcall TickWithSleeps(void* argument) {
    auto* victim = static_cast<Victim*>(argument);
    for (;;) {
        ++victim->ticks;
        Sleep(1);
    }
}

TEST(TerminateThread, SignalsTheHandleWithTheCodeAndTheThreadNeverResumes) {
    Victim victim;
    victim.event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE thread = AsHandle(_beginthreadex(nullptr, 0, &BlockOnEvent, &victim, 0, nullptr));
    paltest::Settle();
    EXPECT_TRUE(TerminateThread(thread, 42));
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 42u);
    SetEvent(victim.event);  // its wait ends, but it does not come back to its code
    paltest::Settle();
    EXPECT_FALSE(victim.returnedToCode);
    EXPECT_TRUE(CloseHandle(thread));
}

TEST(TerminateThread, RunningThreadStopsAtItsNextWait) {
    Victim victim;
    HANDLE thread = AsHandle(_beginthreadex(nullptr, 0, &TickWithSleeps, &victim, 0, nullptr));
    ASSERT_TRUE(paltest::Eventually([&] { return victim.ticks > 5; }));
    EXPECT_TRUE(TerminateThread(thread, 9));
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
    paltest::Settle();
    int stopped = victim.ticks;
    paltest::Settle();
    EXPECT_EQ(victim.ticks, stopped);
    CloseHandle(thread);
}

TEST(TerminateThread, SuspendedThreadNeverRuns) {
    Victim victim;
    HANDLE thread =
        AsHandle(_beginthreadex(nullptr, 0, &TickWithSleeps, &victim, CREATE_SUSPENDED, nullptr));
    EXPECT_TRUE(TerminateThread(thread, 11));
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
    ResumeThread(thread);
    paltest::Settle();
    EXPECT_EQ(victim.ticks, 0);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, 11u);
    CloseHandle(thread);
}

TEST(TerminateThread, EndedThreadKeepsItsExitCode) {
    HANDLE thread = AsHandle(_beginthreadex(nullptr, 0, &ReturnArgument,
                                            reinterpret_cast<void*>(uintptr_t{4}), 0, nullptr));
    WaitForSingleObject(thread, INFINITE);
    EXPECT_TRUE(TerminateThread(thread, 77));
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, 4u);
    CloseHandle(thread);

    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    for (HANDLE handle : {static_cast<HANDLE>(nullptr), event}) {
        SetLastError(0);
        EXPECT_FALSE(TerminateThread(handle, 1));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    }
    CloseHandle(event);
}

struct SelfEnd {
    std::atomic<uintptr_t> handle{0};
    std::atomic<bool> returnedToCode{false};
};

TEST(TerminateThread, ThreadThatEndsItselfStopsAtOnce) {
    SelfEnd self;
    uintptr_t thread = _beginthreadex(
        nullptr, 0,
        [](void* argument) -> unsigned {
            auto* s = static_cast<SelfEnd*>(argument);
            TerminateThread(AsHandle(s->handle), 21);
            s->returnedToCode = true;
            return 0;
        },
        &self, CREATE_SUSPENDED, nullptr);
    self.handle = thread;
    ResumeThread(AsHandle(thread));
    EXPECT_EQ(WaitForSingleObject(AsHandle(thread), 10000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(AsHandle(thread), &code);
    EXPECT_EQ(code, 21u);
    paltest::Settle();
    EXPECT_FALSE(self.returnedToCode);
    CloseHandle(AsHandle(thread));
}

}  // namespace
