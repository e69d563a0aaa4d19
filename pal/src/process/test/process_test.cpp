#include <gtest/gtest.h>

#include <fstream>

#include "test/process_test_support.h"

namespace {

using paltest::Helper;

class ProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        record_ = root_.Path() + "/record.txt";
        setenv("PAL_TEST_RECORD", record_.c_str(), 1);
        unsetenv("PAL_TEST_EXIT");
    }
    void TearDown() override {
        unsetenv("PAL_TEST_RECORD");
        unsetenv("PAL_TEST_EXIT");
    }

    // Starts the program, waits for its end and returns its exit code.
    DWORD RunToEnd(const char* application, const char* commandLine,
                   const char* directory = nullptr, const char* environment = nullptr) {
        std::string line = commandLine ? commandLine : "";
        PROCESS_INFORMATION info{};
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        BOOL started =
            CreateProcessA(application, commandLine ? line.data() : nullptr, nullptr, nullptr,
                           FALSE, 0, const_cast<char*>(environment), directory, &startup, &info);
        EXPECT_TRUE(started) << GetLastError();
        if (!started) {
            return 0xFFFFFFFFu;
        }
        HANDLE process = guard_.Keep(info);
        EXPECT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
        DWORD code = 0;
        EXPECT_TRUE(GetExitCodeProcess(process, &code));
        return code;
    }

    std::map<std::string, std::string> Record() { return paltest::ReadRecord(record_); }

    brtest::ScopedTestRoot root_;
    paltest::ProcessGuard guard_;
    std::string record_;
};

TEST_F(ProcessTest, CommandLineTailIsOneArgument) {
    const std::string recorder = Helper("recorder");
    const struct {
        const char* application;  // nullptr: the command line names the program
        std::string commandLine;
        std::string argv0;
        int argc;
        const char* arg1;
    } cases[] = {
        {recorder.c_str(), "", recorder, 1, ""},
        {recorder.c_str(), "rec", "rec", 1, ""},
        {recorder.c_str(), "rec   one  two three ", "rec", 2, "one  two three "},
        {recorder.c_str(), "\"r e c\" \"q\" x", "r e c", 2, "\"q\" x"},
        {nullptr, "\"" + recorder + "\" C:/Data Dir/", recorder, 2, "C:/Data Dir/"},
        {nullptr, recorder + ".exe /S", recorder + ".exe", 2, "/S"},
    };
    for (const auto& c : cases) {
        std::remove(record_.c_str());
        EXPECT_EQ(RunToEnd(c.application, c.commandLine.empty() ? nullptr : c.commandLine.c_str()),
                  0u);
        auto record = Record();
        EXPECT_EQ(record["argc"], std::to_string(c.argc)) << c.commandLine;
        EXPECT_EQ(record["arg0"], c.argv0) << c.commandLine;
        EXPECT_EQ(record["arg1"], c.arg1) << c.commandLine;
    }
}

TEST_F(ProcessTest, DirectoryEnvironmentAndShowCommandReachTheChild) {
    std::string dir = root_.Path() + "/work dir";
    std::filesystem::create_directories(dir);
    std::string env = paltest::EnvironmentWith({{"PAL_RUNTIME_DIR", "/elsewhere"}});
    PROCESS_INFORMATION info{};
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    std::string recorder = Helper("recorder");
    ASSERT_TRUE(CreateProcessA(recorder.c_str(), nullptr, nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                               env.data(), dir.c_str(), &startup, &info));
    EXPECT_EQ(info.dwProcessId, info.dwThreadId);
    HANDLE process = guard_.Keep(info);
    ASSERT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
    auto record = Record();
    EXPECT_EQ(record["cwd"], paltest::Canonical(dir));
    EXPECT_EQ(record["root"], "/elsewhere");
    EXPECT_EQ(record["show"], "0");
}

TEST_F(ProcessTest, RelativeProgramIsTakenFromTheStartersFolder) {
    paltest::CopyFile(Helper("recorder"), root_.Path() + "/bin/Tool");
    std::filesystem::create_directories(root_.Path() + "/work");
    std::string script = root_.Path() + "/bin/job.sh";
    ASSERT_TRUE(paltest::WriteScript(script, "#!/bin/sh\npwd > ../pwd.txt\n", 0644));
    char saved[PATH_MAX];
    ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
    ASSERT_EQ(chdir(root_.Path().c_str()), 0);
    DWORD tool = RunToEnd("bin/Tool.exe", nullptr, "work");
    DWORD job = RunToEnd("bin/job.sh", nullptr, "work");
    ASSERT_EQ(chdir(saved), 0);
    EXPECT_EQ(tool, 0u);
    EXPECT_EQ(Record()["cwd"], paltest::Canonical(root_.Path() + "/work"));
    EXPECT_EQ(job, 0u);
    EXPECT_EQ(brtest::ReadFile(root_.Path() + "/pwd.txt"),
              paltest::Canonical(root_.Path() + "/work") + "\n");
}

TEST_F(ProcessTest, WithoutShowWindowNoShowCommandIsPassed) {
    setenv("PAL_SHOW_COMMAND", "3", 1);  // never inherited: it belongs to one program
    EXPECT_EQ(RunToEnd(Helper("recorder").c_str(), nullptr), 0u);
    unsetenv("PAL_SHOW_COMMAND");
    EXPECT_EQ(Record()["show"], "none");
}

TEST_F(ProcessTest, ExitCodeOfAnEndedChild) {
    for (const char* code : {"0", "5", "255"}) {
        setenv("PAL_TEST_EXIT", code, 1);
        EXPECT_EQ(RunToEnd(Helper("recorder").c_str(), nullptr), std::stoul(code));
    }
}

TEST_F(ProcessTest, ProgramNameRuleWhenStarting) {
    std::string bin = root_.Path() + "/bin";
    paltest::CopyFile(Helper("recorder"), bin + "/BRDJUpdate");
    paltest::CopyFile(Helper("recorder"), bin + "/Both.exe");
    ASSERT_TRUE(brtest::WriteFile(bin + "/Both", "not a program"));
    EXPECT_EQ(RunToEnd((bin + "/BRDJUpdate.exe").c_str(), nullptr), 0u);
    EXPECT_EQ(Record()["argc"], "1");
    std::remove(record_.c_str());
    EXPECT_EQ(RunToEnd((bin + "/Both.exe").c_str(), nullptr), 0u);  // X.exe is taken first
    EXPECT_EQ(Record()["argc"], "1");
}

TEST_F(ProcessTest, ScriptWithoutExecuteBitRunsThroughItsInterpreter) {
    const struct {
        const char* firstLine;
        int mode;
    } cases[] = {
        {"#!/bin/sh", 0644},
        {"#! /bin/sh -e", 0644},  // blank before the interpreter, one argument after it
        {"#!/bin/sh", 0755},      // with the bit the system runs it itself
    };
    for (const auto& c : cases) {
        std::string script = root_.Path() + "/script.sh";
        std::string out = root_.Path() + "/script.out";
        ASSERT_TRUE(paltest::WriteScript(
            script,
            std::string(c.firstLine) + "\nprintf '%s|' \"$#\" \"$@\" > \"" + out + "\"\nexit 3\n",
            c.mode));
        std::remove(out.c_str());
        EXPECT_EQ(RunToEnd(script.c_str(), "script a  b"), 3u) << c.firstLine;
        EXPECT_EQ(brtest::ReadFile(out), "1|a  b|") << c.firstLine;
    }
}

TEST_F(ProcessTest, StartFailures) {
    std::string plain = root_.Path() + "/plain.exe";
    ASSERT_TRUE(paltest::WriteScript(plain, "just text\n", 0644));
    std::string noInterpreter = root_.Path() + "/broken.sh";
    ASSERT_TRUE(paltest::WriteScript(noInterpreter, "#!/no/such/shell\n", 0644));
    std::string recorder = Helper("recorder");
    const struct {
        std::string application;
        const char* directory;
        DWORD error;
    } cases[] = {
        {root_.Path() + "/missing.exe", nullptr, ERROR_FILE_NOT_FOUND},
        {root_.Path() + "/no/such/folder/x.exe", nullptr, ERROR_PATH_NOT_FOUND},
        {plain, nullptr, ERROR_BAD_EXE_FORMAT},
        {noInterpreter, nullptr, ERROR_FILE_NOT_FOUND},
        {root_.Path(), nullptr, ERROR_FILE_NOT_FOUND},  // a folder
        {recorder, "/no/such/folder", ERROR_DIRECTORY},
    };
    for (const auto& c : cases) {
        PROCESS_INFORMATION info{};
        SetLastError(0);
        EXPECT_FALSE(CreateProcessA(c.application.c_str(), nullptr, nullptr, nullptr, FALSE, 0,
                                    nullptr, c.directory, nullptr, &info))
            << c.application;
        EXPECT_EQ(GetLastError(), c.error) << c.application;
    }
    SetLastError(0);
    EXPECT_FALSE(CreateProcessA(recorder.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                                nullptr, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    PROCESS_INFORMATION info{};
    EXPECT_FALSE(CreateProcessA(nullptr, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                nullptr, &info));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(ProcessTest, WaitTerminateAndExitCode) {
    PROCESS_INFORMATION info = guard_.Start(Helper("sleeper"));
    HANDLE process = info.hProcess;
    EXPECT_EQ(WaitForSingleObject(process, 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(process, 100), WAIT_TIMEOUT);
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeProcess(process, &code));
    EXPECT_EQ(code, STILL_ACTIVE);

    ASSERT_TRUE(TerminateProcess(process, 9));
    EXPECT_EQ(WaitForSingleObject(process, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(process, 0), WAIT_OBJECT_0);  // stays signalled
    ASSERT_TRUE(GetExitCodeProcess(process, &code));
    EXPECT_EQ(code, 9u);
    SetLastError(0);
    EXPECT_FALSE(TerminateProcess(process, 1));  // it has already ended
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(paltest::WaitUntilGone(info.dwProcessId));
}

TEST_F(ProcessTest, ThreadHandleSignalsWhenTheProcessEnds) {
    PROCESS_INFORMATION info{};
    std::string sleeper = Helper("sleeper");
    ASSERT_TRUE(CreateProcessA(sleeper.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, nullptr, &info));
    guard_.KeepHandle(info.hProcess);
    EXPECT_EQ(WaitForSingleObject(info.hThread, 0), WAIT_TIMEOUT);
    ASSERT_TRUE(TerminateProcess(info.hProcess, 0));
    EXPECT_EQ(WaitForSingleObject(info.hThread, 10000), WAIT_OBJECT_0);
    DWORD code = 0;
    SetLastError(0);
    EXPECT_FALSE(GetExitCodeProcess(info.hThread, &code));  // a thread is no process
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_TRUE(CloseHandle(info.hThread));
}

TEST_F(ProcessTest, ChildrenAreReapedWithoutWaitOrClose) {
    PROCESS_INFORMATION info{};
    std::string recorder = Helper("recorder");
    ASSERT_TRUE(CreateProcessA(recorder.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, nullptr, &info));
    // Handles still open and never waited on: the layer reaps the child all the same.
    EXPECT_TRUE(paltest::WaitUntilGone(info.dwProcessId));
    DWORD code = 1;
    EXPECT_TRUE(GetExitCodeProcess(info.hProcess, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(WaitForSingleObject(info.hProcess, 0), WAIT_OBJECT_0);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);

    ASSERT_TRUE(CreateProcessA(recorder.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, nullptr, &info));
    CloseHandle(info.hThread);  // closed at once, as a starter that does not wait does
    CloseHandle(info.hProcess);
    EXPECT_TRUE(paltest::WaitUntilGone(info.dwProcessId));
}

TEST_F(ProcessTest, OpenProcessRightsDecideWhatTheHandleMayDo) {
    PROCESS_INFORMATION info = guard_.Start(Helper("sleeper"));
    HANDLE query = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, info.dwProcessId);
    ASSERT_NE(query, nullptr);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeProcess(query, &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    SetLastError(0);
    EXPECT_FALSE(TerminateProcess(query, 1));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    SetLastError(0);
    EXPECT_EQ(WaitForSingleObject(query, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);

    HANDLE kill = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, info.dwProcessId);
    ASSERT_NE(kill, nullptr);
    SetLastError(0);
    EXPECT_FALSE(GetExitCodeProcess(kill, &code));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    ASSERT_TRUE(TerminateProcess(kill, 4));
    EXPECT_EQ(WaitForSingleObject(kill, 10000), WAIT_OBJECT_0);
    // The starter's handle and the other opened one see the same end and code.
    EXPECT_EQ(WaitForSingleObject(info.hProcess, 10000), WAIT_OBJECT_0);
    EXPECT_TRUE(GetExitCodeProcess(info.hProcess, &code));
    EXPECT_EQ(code, 4u);
    EXPECT_TRUE(GetExitCodeProcess(query, &code));
    EXPECT_EQ(code, 4u);
    CloseHandle(query);
    CloseHandle(kill);
}

TEST_F(ProcessTest, OpenProcessOfAProcessThisOneDidNotStart) {
    // A shell (our child) starts the sleeper (its child) and waits for it.
    std::string pidFile = root_.Path() + "/sleeper.pid";
    std::string script = root_.Path() + "/parent.sh";
    ASSERT_TRUE(paltest::WriteScript(script,
                                     "#!/bin/sh\n\"" + Helper("sleeper") + "\" &\necho $! > \"" +
                                         pidFile + ".part\"\nmv \"" + pidFile + ".part\" \"" +
                                         pidFile + "\"\nwait\n",
                                     0755));
    PROCESS_INFORMATION shell = guard_.Start(script);
    ASSERT_TRUE(paltest::WaitForFile(pidFile));
    DWORD pid = static_cast<DWORD>(std::stoul(brtest::ReadFile(pidFile)));
    HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid);
    ASSERT_NE(process, nullptr);
    guard_.KeepHandle(process);
    EXPECT_EQ(WaitForSingleObject(process, 50), WAIT_TIMEOUT);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeProcess(process, &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    ASSERT_TRUE(TerminateProcess(process, 6));
    EXPECT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
    EXPECT_TRUE(GetExitCodeProcess(process, &code));
    EXPECT_EQ(code, 6u);
    EXPECT_EQ(WaitForSingleObject(shell.hProcess, 10000), WAIT_OBJECT_0);  // its wait returned
}

TEST_F(ProcessTest, OpenProcessFailures) {
    std::string pidMax = brtest::ReadFile("/proc/sys/kernel/pid_max");
    DWORD beyond = static_cast<DWORD>(std::stoul(pidMax)) + 1;
    PROCESS_INFORMATION ended{};
    std::string recorder = Helper("recorder");
    ASSERT_TRUE(CreateProcessA(recorder.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, nullptr, &ended));
    guard_.Keep(ended);
    ASSERT_TRUE(paltest::WaitUntilGone(ended.dwProcessId));
    for (DWORD pid : {0u, beyond, ended.dwProcessId, 0xFFFFFFFFu}) {
        SetLastError(0);
        EXPECT_EQ(OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid), nullptr) << pid;
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER) << pid;
    }
}

TEST_F(ProcessTest, InvalidHandles) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    for (HANDLE handle :
         {static_cast<HANDLE>(nullptr), snapshot, reinterpret_cast<HANDLE>(0x7654)}) {
        DWORD code = 0;
        SetLastError(0);
        EXPECT_FALSE(TerminateProcess(handle, 0));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        SetLastError(0);
        EXPECT_FALSE(GetExitCodeProcess(handle, &code));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    }
    CloseHandle(snapshot);
}

TEST(CurrentProcess, IdsAndPseudoHandle) {
    EXPECT_EQ(GetCurrentProcessId(), static_cast<DWORD>(getpid()));
    EXPECT_EQ(GetCurrentProcess(), reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)));
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeProcess(GetCurrentProcess(), &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    // The pseudo-handle cannot be waited on or closed, and stays usable after trying.
    SetLastError(0);
    EXPECT_EQ(WaitForSingleObject(GetCurrentProcess(), 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    SetLastError(0);
    EXPECT_FALSE(CloseHandle(GetCurrentProcess()));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_TRUE(GetExitCodeProcess(GetCurrentProcess(), &code));
    HANDLE self =
        OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, GetCurrentProcessId());
    ASSERT_NE(self, nullptr);
    EXPECT_EQ(WaitForSingleObject(self, 0), WAIT_TIMEOUT);
    EXPECT_TRUE(CloseHandle(self));
}

TEST(CurrentProcessDeathTest, TerminateProcessOfItselfEndsWithTheCode) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(TerminateProcess(GetCurrentProcess(), 7), ::testing::ExitedWithCode(7), "");
}

}  // namespace
