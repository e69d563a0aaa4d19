// The whole road: a program with an exception filter faults, the filter writes a dump through
// this library with a file handle of the program's layer, and the dump shows the fault.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "crash/test/crash_child.h"
#include "dump_reader.h"
#include "test_root.h"
#include "windows.h"

namespace {

struct DumpCase {
    const char* name;
    const char* fault;
    bool onMainThread;
};

void PrintTo(const DumpCase& c, std::ostream* os) {
    *os << c.name;
}

class CrashDump : public testing::TestWithParam<DumpCase> {
protected:
    void SetUp() override { dir_ = brtest::MakeTempDir("crash_dump"); }
    void TearDown() override { brtest::RemoveTree(dir_); }
    std::string DumpPath() const { return dir_ + "/helper.dmp"; }

private:
    std::string dir_;
};

TEST_P(CrashDump, DumpShowsTheFaultingThreadAndTheAccessViolation) {
    const DumpCase& c = GetParam();
    crashtest::Ending ending = crashtest::RunHelper(
        {c.fault, "execute", std::string(BR_BIN_DIR) + "/libDBGHELP.so", DumpPath()});
    ASSERT_FALSE(ending.timedOut) << ending.out;
    ASSERT_TRUE(ending.exited) << "signal " << ending.signal;
    EXPECT_EQ(ending.status, 5);
    ASSERT_EQ(ending.Line("dump"), "OK") << ending.out;
    uint32_t faultThread = static_cast<uint32_t>(std::stoul(ending.Line("fault-thread")));
    EXPECT_EQ(faultThread == static_cast<uint32_t>(ending.pid), c.onMainThread);

    dumptest::Minidump dump = dumptest::Minidump::FromFile(DumpPath());
    auto exception = dump.GetException();
    ASSERT_TRUE(exception.has_value());
    EXPECT_EQ(exception->code, EXCEPTION_ACCESS_VIOLATION);
    EXPECT_EQ(exception->threadId, faultThread);
    ASSERT_EQ(exception->parameterCount, 2u);
    EXPECT_EQ(exception->parameters[0], 1u) << "a write";
    EXPECT_EQ(exception->parameters[1], 0x28u) << "the field's address";

    auto threads = dump.Threads();
    ASSERT_EQ(threads.size(), 1u);
    EXPECT_EQ(threads[0].id, faultThread);
    CONTEXT context = dump.Context(threads[0].context);
    EXPECT_EQ(context.Rip, exception->address);
    EXPECT_LE(threads[0].stackStart, context.Rsp);
    EXPECT_GT(threads[0].stackStart + threads[0].stack.size, context.Rsp);

    auto modules = dump.Modules();
    const dumptest::Module* faulting = nullptr;
    for (const auto& m : modules) {
        if (m.base <= exception->address && exception->address < m.base + m.size) {
            faulting = &m;
        }
    }
    ASSERT_NE(faulting, nullptr) << "the faulting code lies in a listed module";
    EXPECT_EQ(faulting->name, crashtest::HelperPath());
    EXPECT_EQ(dump.ProcessId(), static_cast<uint32_t>(ending.pid));
}

INSTANTIATE_TEST_SUITE_P(Threads, CrashDump,
                         testing::Values(DumpCase{"MainThread", "write-null", true},
                                         DumpCase{"SecondThread", "write-null-thread", false}),
                         [](const testing::TestParamInfo<DumpCase>& info) {
                             return std::string(info.param.name);
                         });

// A general minidump reader (LLVM's, when installed) accepts the dump.
TEST(CrashDumpReader, LlvmReaderAcceptsTheDump) {
    std::string reader;
    for (const char* candidate : {"/usr/bin/obj2yaml", "/usr/lib/llvm-14/bin/obj2yaml"}) {
        if (access(candidate, X_OK) == 0) {
            reader = candidate;
            break;
        }
    }
    if (reader.empty()) {
        GTEST_SKIP() << "obj2yaml is not installed";
    }
    std::string dir = brtest::MakeTempDir("crash_dump");
    std::string path = dir + "/helper.dmp";
    crashtest::Ending ending = crashtest::RunHelper(
        {"write-null", "execute", std::string(BR_BIN_DIR) + "/libDBGHELP.so", path});
    ASSERT_EQ(ending.Line("dump"), "OK") << ending.out;
    std::string yaml = dir + "/dump.yaml";
    int status = std::system((reader + " " + path + " > " + yaml + " 2>&1").c_str());
    std::string text = brtest::ReadFile(yaml);
    brtest::RemoveTree(dir);
    ASSERT_EQ(status, 0) << text;
    for (const char* expected :
         {"Type:            SystemInfo", "Processor Arch:  AMD64", "Type:            ThreadList",
          "Type:            ModuleList", "Type:            MemoryList",
          "Type:            Exception", "Exception Code:  0xC0000005", "pal_crash_helper"}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    }
}

}  // namespace
