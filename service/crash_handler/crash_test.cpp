// The handler in a program that faults: the helper, installed with the layer into a folder of
// the test's own root, crashes there and the test reads what it left.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <regex>

#include "crash_run.h"
#include "dump_reader.h"
#include "test_root.h"
#include "windows.h"

namespace {

const std::string kRealDbghelp = std::string(BR_BIN_DIR) + "/libDBGHELP.so";

std::string DbghelpWithout(const std::string& missing) {
    return std::string(CRASH_HANDLER_DBGHELP_DIR) + "/without_" + missing + "/libDBGHELP.so";
}

// The local time as the dump name writes it, YYYYMMDDhhmmssmmm.
std::string LocalStamp() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    char stamp[96];
    snprintf(stamp, sizeof stamp, "%04d%02d%02d%02d%02d%02d%03ld", local.tm_year + 1900,
             local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
             local.tm_sec > 59 ? 59 : local.tm_sec, now.tv_nsec / 1000000);
    return stamp;
}

// The files of the folder besides the installation's own.
std::vector<std::string> LeftIn(const std::string& folder) {
    std::vector<std::string> left;
    for (const std::string& name : crashtest::FilesIn(folder)) {
        if (name != crashtest::kProgramName && name != "libpal.so" && name != "libDBGHELP.so") {
            left.push_back(name);
        }
    }
    return left;
}

unsigned long ThreadLine(const crashtest::Ending& ending, const std::string& name) {
    std::vector<std::string> lines = ending.Lines(name);
    return lines.size() == 1 ? std::stoul(lines[0]) : 0;
}

class CrashHandler : public testing::Test {
protected:
    std::string Folder() const { return root_.Path() + "/install"; }

    // Runs the fault and expects the quiet end: the process exits by itself, at once, with a
    // failure status, after reaching the fault.
    crashtest::Ending RunToQuietEnd(const std::string& program, const std::string& fault,
                                    const crashtest::Options& options = {}) {
        crashtest::Ending ending = crashtest::Run(program, fault, options);
        EXPECT_TRUE(ending.started);
        EXPECT_FALSE(ending.timedOut) << "the process waited instead of ending";
        EXPECT_TRUE(ending.exited) << "ended by signal " << ending.signal;
        EXPECT_NE(ending.status, 0);
        EXPECT_FALSE(ending.Lines("fault-thread").empty()) << "the fault was reached";
        return ending;
    }

    // The one file left in the folder, which must be named by the dump format with a time
    // between before and after; empty when there is not exactly one.
    std::string OneDumpIn(const std::string& folder, const std::string& before,
                          const std::string& after) {
        std::vector<std::string> left = LeftIn(folder);
        EXPECT_EQ(left.size(), 1u) << testing::PrintToString(left);
        if (left.size() != 1) {
            return "";
        }
        static const std::regex kName("([0-9]{17})_BrCoreService\\.exe\\.dmp");
        std::smatch match;
        EXPECT_TRUE(std::regex_match(left[0], match, kName)) << left[0];
        if (match.size() == 2) {
            EXPECT_LE(before, match[1].str()) << "local time of the crash";
            EXPECT_GE(after, match[1].str()) << "local time of the crash";
        }
        return folder + "/" + left[0];
    }

    brtest::ScopedTestRoot root_;
};

struct ThreadCase {
    const char* name;
    const char* fault;
    bool onMainThread;
};

void PrintTo(const ThreadCase& c, std::ostream* os) {
    *os << c.name;
}

class CrashOnThread : public CrashHandler, public testing::WithParamInterface<ThreadCase> {};

TEST_P(CrashOnThread, WritesOneDumpOfTheFaultNextToTheProgram) {
    const ThreadCase& c = GetParam();
    std::string program = crashtest::Install(Folder(), kRealDbghelp);
    std::string before = LocalStamp();
    crashtest::Ending ending = RunToQuietEnd(program, c.fault);
    std::string after = LocalStamp();
    std::string path = OneDumpIn(Folder(), before, after);
    ASSERT_FALSE(path.empty());

    unsigned long faultThread = ThreadLine(ending, "fault-thread");
    unsigned long mainThread = ThreadLine(ending, "main-thread");
    ASSERT_NE(faultThread, 0u) << ending.out;
    EXPECT_EQ(faultThread == mainThread, c.onMainThread) << ending.out;

    dumptest::Minidump dump = dumptest::Minidump::FromFile(path);
    EXPECT_EQ(dump.U32(0), 0x504D444Du) << "MDMP";
    EXPECT_TRUE(dump.Has(3)) << "thread list";
    EXPECT_TRUE(dump.Has(4)) << "module list";
    EXPECT_EQ(dump.ProcessId(), static_cast<uint32_t>(ending.pid));
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

    std::string faultingModule;
    for (const dumptest::Module& module : dump.Modules()) {
        if (module.base <= exception->address && exception->address < module.base + module.size) {
            faultingModule = module.name;
        }
    }
    EXPECT_EQ(faultingModule, program) << "the fault lies in the program";
}

INSTANTIATE_TEST_SUITE_P(Threads, CrashOnThread,
                         testing::Values(ThreadCase{"MainThread", "write-null", true},
                                         ThreadCase{"SecondThread", "write-null-thread", false}),
                         [](const testing::TestParamInfo<ThreadCase>& info) {
                             return std::string(info.param.name);
                         });

// Two threads fault at once: the first writes the whole dump, the other waits for the end.
TEST_F(CrashHandler, TwoThreadsFaultingAtOnceLeaveOneWholeDump) {
    for (int round = 0; round < 5; ++round) {
        std::string folder = Folder() + std::to_string(round);
        std::string program = crashtest::Install(folder, kRealDbghelp);
        std::string before = LocalStamp();
        crashtest::Ending ending = RunToQuietEnd(program, "write-null-two-threads");
        std::string after = LocalStamp();
        std::string path = OneDumpIn(folder, before, after);
        ASSERT_FALSE(path.empty()) << "round " << round;
        std::vector<std::string> threads = ending.Lines("fault-thread");
        ASSERT_EQ(threads.size(), 2u) << ending.out;
        auto exception = dumptest::Minidump::FromFile(path).GetException();
        ASSERT_TRUE(exception.has_value());
        EXPECT_NE(std::find(threads.begin(), threads.end(), std::to_string(exception->threadId)),
                  threads.end())
            << "the dump is of one of the faulting threads";
    }
}

// The process ends by the trap itself, as it would without the handler.
TEST_F(CrashHandler, ABreakpointWritesNothingAndIsLeftToTheSystem) {
    std::string program = crashtest::Install(Folder(), kRealDbghelp);
    crashtest::Ending ending = crashtest::Run(program, "int3");
    ASSERT_FALSE(ending.timedOut);
    EXPECT_FALSE(ending.Lines("fault-thread").empty()) << ending.out;
    EXPECT_TRUE(ending.signaled);
    EXPECT_EQ(ending.signal, SIGTRAP);
    EXPECT_TRUE(LeftIn(Folder()).empty()) << testing::PrintToString(LeftIn(Folder()));
}

// The tracer sees the fault, and sees it again after the handler declined it; the process then
// dies by it.
TEST_F(CrashHandler, UnderATracerWritesNothingAndTheTracerSeesTheFault) {
    std::string program = crashtest::Install(Folder(), kRealDbghelp);
    crashtest::Options options;
    options.traced = true;
    crashtest::Ending ending = crashtest::Run(program, "write-null", options);
    if (!ending.started) {
        GTEST_SKIP() << "this system does not allow ptrace";
    }
    ASSERT_FALSE(ending.timedOut);
    EXPECT_TRUE(ending.signaled);
    EXPECT_EQ(ending.signal, SIGSEGV);
    EXPECT_GE(std::count(ending.tracedSignals.begin(), ending.tracedSignals.end(), SIGSEGV), 2)
        << "the fault reaches the tracer before and after the filter";
    EXPECT_TRUE(LeftIn(Folder()).empty()) << testing::PrintToString(LeftIn(Folder()));
}

struct LibraryCase {
    const char* name;
    std::string dbghelp;  // copied beside the program; empty for none
};

void PrintTo(const LibraryCase& c, std::ostream* os) {
    *os << c.name;
}

class CrashWithoutDumpFunction : public CrashHandler,
                                 public testing::WithParamInterface<LibraryCase> {};

// The installation's copies look for libraries in their own folder only (CMakeLists.txt), so
// without a libDBGHELP.so there none is found; a library without one export is put there.
TEST_P(CrashWithoutDumpFunction, LeavesAnEmptyDumpFile) {
    std::string program = crashtest::Install(Folder(), GetParam().dbghelp);
    std::string before = LocalStamp();
    RunToQuietEnd(program, "write-null");
    std::string after = LocalStamp();
    std::string path = OneDumpIn(Folder(), before, after);
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(brtest::ReadFile(path), "") << "the file stays empty";
}

INSTANTIATE_TEST_SUITE_P(
    Libraries, CrashWithoutDumpFunction,
    testing::Values(LibraryCase{"NoLibrary", ""},
                    LibraryCase{"NoMiniDumpWriteDump", DbghelpWithout("MiniDumpWriteDump")},
                    LibraryCase{"NoSymCleanup", DbghelpWithout("SymCleanup")},
                    LibraryCase{"NoSymGetTypeInfo", DbghelpWithout("SymGetTypeInfo")}),
    [](const testing::TestParamInfo<LibraryCase>& info) { return std::string(info.param.name); });

// The superuser writes into any folder, so the test then runs the program as the user nobody.
TEST_F(CrashHandler, AnUnwritableFolderGetsNothingAndTheProcessStillEnds) {
    std::string program = crashtest::Install(Folder(), kRealDbghelp);
    crashtest::Options options;
    if (geteuid() == 0) {
        options.asNobody = true;
        chmod(root_.Path().c_str(), 0755);
    }
    chmod(Folder().c_str(), 0555);
    crashtest::Ending ending = crashtest::Run(program, "write-null", options);
    chmod(Folder().c_str(), 0755);
    if (!ending.started) {
        GTEST_SKIP() << "cannot run the program as another user";
    }
    EXPECT_FALSE(ending.timedOut);
    EXPECT_TRUE(ending.exited) << "ended by signal " << ending.signal;
    EXPECT_NE(ending.status, 0);
    EXPECT_FALSE(ending.Lines("fault-thread").empty()) << ending.out;
    EXPECT_TRUE(LeftIn(Folder()).empty()) << testing::PrintToString(LeftIn(Folder()));
}

// A folder of exactly length characters under base.
std::string FolderOfLength(const std::string& base, size_t length) {
    std::string folder = base;
    while (folder.size() < length) {
        size_t left = length - folder.size();
        size_t part = std::min<size_t>(100, left - 1);
        if (left - 1 - part == 1) {
            --part;  // leave room for one more "/" and a character
        }
        folder += "/" + std::string(part, 'p');
    }
    return folder;
}

// "/" + 17 digits + "_BrCoreService.exe.dmp" make 40 characters after the folder.
TEST_F(CrashHandler, ADumpPathOfAtMost259CharactersIsWritten) {
    ASSERT_LT(root_.Path().size(), 200u);
    std::string folder = FolderOfLength(root_.Path(), MAX_PATH - 1 - 40);
    std::string program = crashtest::Install(folder, kRealDbghelp);
    std::string before = LocalStamp();
    RunToQuietEnd(program, "write-null");
    std::string path = OneDumpIn(folder, before, LocalStamp());
    EXPECT_EQ(path.size(), MAX_PATH - 1u);
}

TEST_F(CrashHandler, ADumpPathThatWouldNotFitIsNotFormed) {
    ASSERT_LT(root_.Path().size(), 200u);
    std::string folder = FolderOfLength(root_.Path(), MAX_PATH - 40);
    std::string program = crashtest::Install(folder, kRealDbghelp);
    RunToQuietEnd(program, "write-null");
    EXPECT_TRUE(crashtest::DumpsUnder(root_.Path()).empty())
        << testing::PrintToString(crashtest::DumpsUnder(root_.Path()));
    EXPECT_TRUE(LeftIn(folder).empty()) << testing::PrintToString(LeftIn(folder));
}

// A module named "ZIVAREV" in the process moves the dumps to its folder.
TEST_F(CrashHandler, TheFolderOfAZivarevModuleTakesTheDump) {
    std::string program = crashtest::Install(Folder(), kRealDbghelp);
    std::string modules = root_.Path() + "/modules";
    std::filesystem::create_directories(modules);
    crashtest::CopyExecutable(CRASH_HANDLER_ZIVAREV, modules + "/libZIVAREV.so");
    crashtest::Options options;
    options.environment.push_back("LD_PRELOAD=" + modules + "/libZIVAREV.so");
    std::string before = LocalStamp();
    RunToQuietEnd(program, "write-null", options);
    std::string after = LocalStamp();
    EXPECT_TRUE(LeftIn(Folder()).empty()) << testing::PrintToString(LeftIn(Folder()));
    std::vector<std::string> inModules;
    for (const std::string& name : crashtest::FilesIn(modules)) {
        if (name != "libZIVAREV.so") {
            inModules.push_back(name);
        }
    }
    ASSERT_EQ(inModules.size(), 1u) << testing::PrintToString(inModules);
    EXPECT_TRUE(std::regex_match(inModules[0], std::regex("[0-9]{17}_BrCoreService\\.exe\\.dmp")))
        << inModules[0];
    EXPECT_GT(brtest::ReadFile(modules + "/" + inModules[0]).size(), 0u);
}

// That module's path cut at 260 bytes would end inside a folder name and name a short ancestor
// folder, where the dump would fit; no folder is taken from a cut path.
TEST_F(CrashHandler, AZivarevPathThatDoesNotFitGivesNoDumpAnywhere) {
    ASSERT_LT(root_.Path().size(), 150u);
    std::string program = crashtest::Install(Folder(), kRealDbghelp);
    std::string modules = root_.Path() + "/" + std::string(50, 'a') + "/" + std::string(230, 'b');
    std::filesystem::create_directories(modules);
    crashtest::CopyExecutable(CRASH_HANDLER_ZIVAREV, modules + "/libZIVAREV.so");
    crashtest::Options options;
    options.environment.push_back("LD_PRELOAD=" + modules + "/libZIVAREV.so");
    RunToQuietEnd(program, "write-null", options);
    EXPECT_TRUE(crashtest::DumpsUnder(root_.Path()).empty())
        << testing::PrintToString(crashtest::DumpsUnder(root_.Path()));
}

// A run without a fault ends normally through the handler's teardown and leaves nothing.
TEST_F(CrashHandler, ANormalExitLeavesNothing) {
    std::string program = crashtest::Install(Folder(), kRealDbghelp);
    crashtest::Ending ending = crashtest::Run(program, "exit");
    EXPECT_TRUE(ending.exited);
    EXPECT_EQ(ending.status, 0);
    EXPECT_TRUE(LeftIn(Folder()).empty()) << testing::PrintToString(LeftIn(Folder()));
}

}  // namespace
