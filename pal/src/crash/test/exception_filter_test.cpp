// The filter's installation in this process, and faults the filter resumes from.
#include <gtest/gtest.h>

#include <signal.h>

#include <atomic>
#include <thread>

#include "windows.h"

namespace {

constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGTRAP};

LONG WINAPI FilterA(EXCEPTION_POINTERS*) {
    return EXCEPTION_CONTINUE_SEARCH;
}
LONG WINAPI FilterB(EXCEPTION_POINTERS*) {
    return EXCEPTION_CONTINUE_SEARCH;
}

// Leaves the process's fault signals as the test found them.
class FaultSignals : public testing::Test {
protected:
    void SetUp() override {
        for (size_t i = 0; i < std::size(kSignals); ++i) {
            sigaction(kSignals[i], nullptr, &saved_[i]);
        }
    }
    void TearDown() override {
        SetUnhandledExceptionFilter(nullptr);
        for (size_t i = 0; i < std::size(kSignals); ++i) {
            sigaction(kSignals[i], &saved_[i], nullptr);
        }
    }

private:
    struct sigaction saved_[std::size(kSignals)];
};

TEST_F(FaultSignals, SetReturnsTheFilterItReplaces) {
    EXPECT_EQ(SetUnhandledExceptionFilter(FilterA), nullptr);
    EXPECT_EQ(SetUnhandledExceptionFilter(FilterB), FilterA);
    EXPECT_EQ(SetUnhandledExceptionFilter(FilterB), FilterB);
    EXPECT_EQ(SetUnhandledExceptionFilter(nullptr), FilterB);
    EXPECT_EQ(SetUnhandledExceptionFilter(nullptr), nullptr);
}

void Marker(int) {}

TEST_F(FaultSignals, InstallsOnTheAlternateStackAndRemovalRestoresThePreviousHandlers) {
    struct sigaction marker {};
    marker.sa_handler = Marker;
    for (int signo : kSignals) {
        sigaction(signo, &marker, nullptr);
    }
    SetUnhandledExceptionFilter(FilterA);
    for (int signo : kSignals) {
        struct sigaction now {};
        sigaction(signo, nullptr, &now);
        EXPECT_NE(now.sa_handler, Marker) << signo;
        EXPECT_EQ(now.sa_flags & (SA_SIGINFO | SA_ONSTACK), SA_SIGINFO | SA_ONSTACK) << signo;
    }
    stack_t stack{};
    ASSERT_EQ(sigaltstack(nullptr, &stack), 0);
    EXPECT_FALSE(stack.ss_flags & SS_DISABLE) << "the installing thread has an alternate stack";

    SetUnhandledExceptionFilter(FilterB);  // a new filter keeps the handlers
    SetUnhandledExceptionFilter(nullptr);
    for (int signo : kSignals) {
        struct sigaction now {};
        sigaction(signo, nullptr, &now);
        EXPECT_EQ(now.sa_handler, Marker) << signo;
    }
}

TEST(CrashStack, EachThreadGetsItsOwnOnce) {
    stack_t first{}, again{};
    std::thread([&] {
        ASSERT_TRUE(PalEnsureCrashStack());
        sigaltstack(nullptr, &first);
        ASSERT_TRUE(PalEnsureCrashStack());
        sigaltstack(nullptr, &again);
    }).join();
    EXPECT_FALSE(first.ss_flags & SS_DISABLE);
    EXPECT_EQ(first.ss_sp, again.ss_sp) << "a second call keeps the stack";
    stack_t other{};
    std::thread([&] {
        PalEnsureCrashStack();
        sigaltstack(nullptr, &other);
    }).join();
    EXPECT_FALSE(other.ss_flags & SS_DISABLE);
}

std::atomic<DWORD> g_seenCode{0};
std::atomic<pid_t> g_seenThread{0};

// Steps over an int3 and hands a value back through rax.
LONG WINAPI StepOverBreakpoint(EXCEPTION_POINTERS* pointers) {
    g_seenCode = pointers->ExceptionRecord->ExceptionCode;
    g_seenThread = gettid();
    if (pointers->ExceptionRecord->ExceptionCode != EXCEPTION_BREAKPOINT) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    if (*reinterpret_cast<unsigned char*>(pointers->ContextRecord->Rip) == 0xCC) {
        pointers->ContextRecord->Rip += 1;
        pointers->ContextRecord->Rax = 42;
    }
    return EXCEPTION_CONTINUE_EXECUTION;
}

TEST_F(FaultSignals, ContinueExecutionResumesWithTheChangedContext) {
    SetUnhandledExceptionFilter(StepOverBreakpoint);
    uint64_t value = 0;
    asm volatile("int3" : "=a"(value) : "a"(uint64_t{7}));
    EXPECT_EQ(g_seenCode.load(), EXCEPTION_BREAKPOINT);
    EXPECT_EQ(value, 42u);

    // A raised trap resumes after raise(); a second thread's trap reaches the filter on it.
    g_seenCode = 0;
    raise(SIGTRAP);
    EXPECT_EQ(g_seenCode.load(), EXCEPTION_BREAKPOINT);
    pid_t thread = 0;
    std::thread([&] {
        thread = gettid();
        raise(SIGTRAP);
    }).join();
    EXPECT_EQ(g_seenThread.load(), thread);
}

}  // namespace
