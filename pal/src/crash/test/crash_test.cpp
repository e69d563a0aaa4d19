// The exception filter in a process that really faults: the helper installs a filter, faults
// as the case says, and reports what the filter saw; the test checks the report and how the
// process ended.
#include <gtest/gtest.h>

#include <signal.h>

#include "crash/test/crash_child.h"
#include "windows.h"

namespace {

enum class Thread { kMain, kSecond, kAny };

struct CrashCase {
    const char* name;
    const char* fault;
    const char* result;
    const char* code;  // what the filter saw, in hex; nullptr when it must not run
    const char* params;
    const char* p0;
    const char* p1;  // "site": the address the helper printed before the fault
    const char* p2;
    bool atSite;  // the exception address is the printed site
    Thread thread;
    int exitStatus;  // -1: the process dies by `signal`
    int signal;
};

void PrintTo(const CrashCase& c, std::ostream* os) {
    *os << c.name;
}

constexpr CrashCase kCases[] = {
    {"WriteNullExecute", "write-null", "execute", "c0000005", "2", "1", "28", "0", false,
     Thread::kMain, 5, 0},
    {"WriteNullSearch", "write-null", "search", "c0000005", "2", "1", "28", "0", false,
     Thread::kMain, -1, SIGSEGV},
    {"WriteNullOnThreadExecute", "write-null-thread", "execute", "c0000005", "2", "1", "28", "0",
     false, Thread::kSecond, 5, 0},
    {"WriteNullOnThreadSearch", "write-null-thread", "search", "c0000005", "2", "1", "28", "0",
     false, Thread::kSecond, -1, SIGSEGV},
    {"ReadNull", "read-null", "execute", "c0000005", "2", "0", "28", "0", false, Thread::kMain, 5,
     0},
    {"WriteReadOnlyPage", "write-readonly", "execute", "c0000005", "2", "1", "site", "0", false,
     Thread::kAny, 5, 0},
    {"ExecuteDataPage", "execute-data", "execute", "c0000005", "2", "8", "site", "0", true,
     Thread::kAny, 5, 0},
    {"ReadBeyondFileExecute", "read-beyond-file", "execute", "c0000006", "3", "0", "site",
     "c0000011", false, Thread::kAny, 6, 0},
    {"ReadBeyondFileSearch", "read-beyond-file", "search", "c0000006", "3", "0", "site", "c0000011",
     false, Thread::kAny, -1, SIGBUS},
    {"DivideExecute", "divide", "execute", "c0000094", "0", "0", "0", "0", false, Thread::kAny,
     0x94, 0},
    {"DivideSearch", "divide", "search", "c0000094", "0", "0", "0", "0", false, Thread::kAny, -1,
     SIGFPE},
    {"IllegalInstructionExecute", "ud2", "execute", "c000001d", "0", "0", "0", "0", false,
     Thread::kAny, 0x1D, 0},
    {"IllegalInstructionSearch", "ud2", "search", "c000001d", "0", "0", "0", "0", false,
     Thread::kAny, -1, SIGILL},
    {"BreakpointSearch", "int3", "search", "80000003", "0", "0", "0", "0", true, Thread::kAny, -1,
     SIGTRAP},
    {"BreakpointContinue", "int3", "continue", "80000003", "0", "0", "0", "0", true, Thread::kAny,
     0, 0},
    {"RaisedTrapSearch", "raise-trap", "search", "80000003", "0", "0", "0", "0", false,
     Thread::kAny, -1, SIGTRAP},
    {"StackOverflowOnAlternateStack", "overflow", "execute", "c0000005", "2", "1", nullptr, "0",
     false, Thread::kAny, 5, 0},
    {"RemovedFilterNeverRuns", "removed-filter", "execute", nullptr, nullptr, nullptr, nullptr,
     nullptr, false, Thread::kAny, -1, SIGSEGV},
};

class Crash : public testing::TestWithParam<CrashCase> {};

TEST_P(Crash, FilterSeesTheFaultAndItsResultEndsTheProcess) {
    const CrashCase& c = GetParam();
    crashtest::Ending ending = crashtest::RunHelper({c.fault, c.result});
    ASSERT_FALSE(ending.timedOut) << ending.out;

    auto filter = ending.Filter();
    if (c.code == nullptr) {
        EXPECT_TRUE(filter.empty()) << ending.out;
    } else {
        ASSERT_FALSE(filter.empty()) << ending.out;
        EXPECT_EQ(filter["code"], c.code);
        EXPECT_EQ(filter["params"], c.params);
        std::string site = ending.Line("site");
        EXPECT_EQ(filter["p0"], c.p0);
        if (c.p1 != nullptr) {
            EXPECT_EQ(filter["p1"], std::string(c.p1) == "site" ? site : c.p1);
        }
        EXPECT_EQ(filter["p2"], c.p2);
        EXPECT_EQ(filter["rip"], filter["address"]) << "the context is taken at the fault";
        if (c.atSite) {
            EXPECT_EQ(filter["address"], site);
        }
        std::string faultThread = ending.Line("fault-thread");
        if (!faultThread.empty()) {
            EXPECT_EQ(filter["tid"], faultThread) << "the filter runs on the faulting thread";
        }
        if (c.thread != Thread::kAny) {
            EXPECT_EQ(faultThread == std::to_string(ending.pid), c.thread == Thread::kMain);
        }
    }

    if (c.exitStatus >= 0) {
        EXPECT_TRUE(ending.exited) << "signal " << ending.signal;
        EXPECT_EQ(ending.status, c.exitStatus);
    } else {
        EXPECT_TRUE(ending.signaled) << "status " << ending.status;
        EXPECT_EQ(ending.signal, c.signal);
    }
    bool resumes = std::string(c.result) == "continue";
    EXPECT_EQ(ending.out.find("resumed") != std::string::npos, resumes) << ending.out;
    // Ending at the fault runs no exit handler; resuming ends the program normally.
    EXPECT_EQ(ending.out.find("atexit") != std::string::npos, resumes) << ending.out;
}

INSTANTIATE_TEST_SUITE_P(Faults, Crash, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<CrashCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
