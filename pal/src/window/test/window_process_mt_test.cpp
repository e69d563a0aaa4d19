// Windows across processes of one runtime root, with pal_window_helper: FindWindowA, PostMessageA
// to another process's window, ended processes, other roots, and SIGINT and SIGTERM ending a
// program's loop.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "test/kernel_test_util.h"
#include "test_root.h"
#include "windows.h"

extern char** environ;

namespace {

// One run of pal_window_helper with its output read line by line; killed when destroyed.
class Helper {
public:
    explicit Helper(const std::vector<std::string>& words) {
        int output[2];
        if (pipe2(output, O_CLOEXEC) != 0) {
            ADD_FAILURE() << "pipe";
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, output[1], 1);
        std::string path = BR_TEST_BIN_DIR "/pal_window_helper";
        std::vector<std::string> args = words;
        std::vector<char*> argv = {path.data()};
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
            pid_ = -1;
            ADD_FAILURE() << "cannot start " << path;
        }
        posix_spawn_file_actions_destroy(&actions);
        close(output[1]);
        out_ = output[0];
    }
    ~Helper() {
        Kill();
        close(out_);
    }
    Helper(const Helper&) = delete;
    Helper& operator=(const Helper&) = delete;

    pid_t Pid() const { return pid_; }

    // The next line, or "" when none comes in time (or the output ends).
    std::string ReadLine(int milliseconds = 20000) {
        auto deadline = paltest::Clock::now() + std::chrono::milliseconds(milliseconds);
        for (;;) {
            size_t end = buffer_.find('\n');
            if (end != std::string::npos) {
                std::string line = buffer_.substr(0, end);
                buffer_.erase(0, end + 1);
                return line;
            }
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline -
                                                                              paltest::Clock::now())
                            .count();
            pollfd ready = {out_, POLLIN, 0};
            if (left <= 0 || poll(&ready, 1, static_cast<int>(left)) <= 0) {
                return "";
            }
            char chunk[4096];
            ssize_t got = read(out_, chunk, sizeof chunk);
            if (got <= 0) {
                return "";
            }
            buffer_.append(chunk, static_cast<size_t>(got));
        }
    }

    // Reads up to the first line that starts with prefix; "" when none comes.
    std::string WaitFor(const std::string& prefix) {
        for (std::string line = ReadLine(); !line.empty(); line = ReadLine()) {
            if (line.rfind(prefix, 0) == 0) {
                return line;
            }
        }
        return "";
    }

    // The window the helper reported, once it is ready.
    HWND ReadyWindow() {
        std::string line = WaitFor("ready ");
        EXPECT_FALSE(line.empty()) << "the helper did not get ready";
        return reinterpret_cast<HWND>(
            static_cast<uintptr_t>(std::strtoull(line.c_str() + 6, nullptr, 16)));
    }

    void Signal(int signal) { kill(pid_, signal); }

    // The exit status once the helper has ended; -1 when it has not in time.
    int WaitExit(int milliseconds = 20000) {
        auto deadline = paltest::Clock::now() + std::chrono::milliseconds(milliseconds);
        while (pid_ > 0) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return status;
            }
            if (paltest::Clock::now() > deadline) {
                break;
            }
            Sleep(5);
        }
        return -1;
    }

    void Kill() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string buffer_;
};

bool ExitedWith(int status, int code) {
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == code;
}

bool EndedBy(int status, int signal) {
    return status != -1 && WIFSIGNALED(status) && WTERMSIG(status) == signal;
}

size_t FilesIn(const std::string& folder) {
    size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        (void)entry;
        ++count;
    }
    return count;
}

class WindowProcessTest : public ::testing::Test {
protected:
    brtest::ScopedTestRoot root_;
};

TEST_F(WindowProcessTest, FindWindowAAndPostMessageAReachAnotherProcess) {
    // A deep root too: its socket paths are longer than a socket address holds.
    std::string deep = root_.Path() + "/" + std::string(120, 'd');
    ASSERT_EQ(mkdir(deep.c_str(), 0700), 0);
    for (const std::string& runtime : {root_.Runtime(), deep + "/runtime"}) {
        SCOPED_TRACE(runtime);
        setenv("PAL_RUNTIME_DIR", runtime.c_str(), 1);
        Helper helper({"window", "PalCrossClass", "Cross_Title"});
        HWND hwnd = helper.ReadyWindow();
        ASSERT_NE(hwnd, nullptr);

        EXPECT_EQ(FindWindowA("PalCrossClass", nullptr), hwnd);
        EXPECT_EQ(FindWindowA(nullptr, "Cross_Title"), hwnd);
        EXPECT_EQ(FindWindowA("PalCrossClass", "Cross_Title"), hwnd);
        EXPECT_EQ(FindWindowA("palcrossclass", "CROSS_TITLE"), hwnd);
        EXPECT_EQ(FindWindowA("PalCrossClass", "Other"), nullptr);
        EXPECT_TRUE(IsWindow(hwnd));
        DWORD pid = 0;
        EXPECT_NE(GetWindowThreadProcessId(hwnd, &pid), 0u);
        EXPECT_EQ(pid, static_cast<DWORD>(helper.Pid()));

        const struct {
            const char* call;
            std::function<LONG_PTR()> run;
            DWORD error;
        } refused[] = {
            {"SendMessageA", [&] { return SendMessageA(hwnd, WM_USER, 0, 0); },
             ERROR_NOT_SUPPORTED},
            {"DestroyWindow", [&] { return DestroyWindow(hwnd); }, ERROR_ACCESS_DENIED},
            {"SetTimer", [&] { return static_cast<LONG_PTR>(SetTimer(hwnd, 1, 10, nullptr)); },
             ERROR_ACCESS_DENIED},
        };
        for (const auto& c : refused) {
            SetLastError(0);
            EXPECT_EQ(c.run(), 0) << c.call;
            EXPECT_EQ(GetLastError(), c.error) << c.call;
        }

        ASSERT_TRUE(PostMessageA(hwnd, WM_USER + 5, 7, -9));
        EXPECT_EQ(helper.WaitFor("message 0x405 "), "message 0x405 7 -9");
        // The service's way to end an older instance.
        ASSERT_TRUE(PostMessageA(hwnd, WM_DESTROY, 0, 0));
        EXPECT_EQ(helper.WaitFor("message 0x2 "), "message 0x2 0 0");
        EXPECT_EQ(helper.WaitFor("quit "), "quit 0");
        EXPECT_TRUE(ExitedWith(helper.WaitExit(), 0));

        // It ended without destroying its window: the record is of an ended process.
        EXPECT_EQ(FindWindowA("PalCrossClass", nullptr), nullptr);
        EXPECT_FALSE(IsWindow(hwnd));
        EXPECT_EQ(FilesIn(runtime + "/hwnd"), 0u);
        EXPECT_EQ(FilesIn(runtime + "/post"), 0u);
    }
}

// True once the process has ended but is not yet reaped.
bool IsZombie(pid_t pid) {
    std::string stat = brtest::ReadFile("/proc/" + std::to_string(pid) + "/stat");
    size_t close = stat.rfind(')');
    return close != std::string::npos && stat.compare(close, 3, ") Z") == 0;
}

TEST_F(WindowProcessTest, AKilledProcesssWindowIsGone) {
    Helper helper({"window", "PalKilledClass", "Killed"});
    HWND hwnd = helper.ReadyWindow();
    ASSERT_EQ(FindWindowA("PalKilledClass", nullptr), hwnd);
    helper.Signal(SIGKILL);
    // Ended, not yet reaped: its process entry is still there, its windows are not.
    ASSERT_TRUE(paltest::Eventually([&] { return IsZombie(helper.Pid()); }));
    EXPECT_EQ(FindWindowA("PalKilledClass", nullptr), nullptr);
    helper.Kill();
    EXPECT_EQ(FindWindowA("PalKilledClass", nullptr), nullptr);
    EXPECT_FALSE(IsWindow(hwnd));
    SetLastError(0);
    EXPECT_FALSE(PostMessageA(hwnd, WM_USER, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    SetLastError(0);
    EXPECT_EQ(GetWindowThreadProcessId(hwnd, nullptr), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_EQ(FilesIn(root_.Runtime() + "/hwnd"), 0u);
    EXPECT_EQ(FilesIn(root_.Runtime() + "/post"), 0u);
}

TEST_F(WindowProcessTest, AnotherRuntimeRootNeitherFindsNorReachesTheWindow) {
    Helper helper({"window", "PalRootClass", "Rooted"});
    HWND hwnd = helper.ReadyWindow();
    ASSERT_NE(hwnd, nullptr);
    {
        brtest::ScopedTestRoot other;
        EXPECT_EQ(FindWindowA("PalRootClass", nullptr), nullptr);
        EXPECT_FALSE(IsWindow(hwnd));
        SetLastError(0);
        EXPECT_FALSE(PostMessageA(hwnd, WM_USER, 0, 0));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
        // The same names in the other root are another program's.
        Helper stranger({"window", "PalRootClass", "Rooted"});
        HWND strangers = stranger.ReadyWindow();
        EXPECT_EQ(FindWindowA("PalRootClass", "Rooted"), strangers);
    }
    EXPECT_EQ(FindWindowA("PalRootClass", "Rooted"), hwnd);
    ASSERT_TRUE(PostMessageA(hwnd, WM_USER + 1, 0, 0));
    EXPECT_EQ(helper.WaitFor("message 0x401 "), "message 0x401 0 0");
}

TEST_F(WindowProcessTest, ANewerInstanceEndsTheOlderOneThroughItsWindow) {
    Helper older({"window", "PalServiceClass", "PalService"});
    HWND olderWindow = older.ReadyWindow();
    Helper newer({"window", "PalServiceClass", "PalService", "replace"});
    HWND newerWindow = newer.ReadyWindow();
    ASSERT_TRUE(olderWindow && newerWindow);
    EXPECT_EQ(older.WaitFor("message 0x2 "), "message 0x2 0 0");
    EXPECT_EQ(older.WaitFor("quit "), "quit 0");
    EXPECT_TRUE(ExitedWith(older.WaitExit(), 0));
    EXPECT_EQ(FindWindowA("PalServiceClass", "PalService"), newerWindow);
}

TEST_F(WindowProcessTest, AProgramThatEndsItsLoopWithoutDestroyingItsWindowLeavesNothingBehind) {
    Helper helper({"window", "PalStopClass", "Stopped"});
    HWND hwnd = helper.ReadyWindow();
    ASSERT_TRUE(hwnd);
    ASSERT_EQ(FilesIn(root_.Runtime() + "/hwnd"), 1u);
    ASSERT_EQ(FilesIn(root_.Runtime() + "/post"), 1u);
    // A stop request: the procedure posts the quit on WM_DESTROY and the window is never
    // destroyed; the program returns from its entry with it.
    ASSERT_TRUE(PostMessageA(hwnd, WM_DESTROY, 0, 0));
    EXPECT_TRUE(ExitedWith(helper.WaitExit(), 0));
    EXPECT_EQ(FilesIn(root_.Runtime() + "/hwnd"), 0u);
    EXPECT_EQ(FilesIn(root_.Runtime() + "/post"), 0u);
}

TEST_F(WindowProcessTest, ABurstOfPostsArrivesWholeAndInOrder) {
    Helper helper({"window", "PalBurstClass", "Burst"});
    HWND hwnd = helper.ReadyWindow();
    constexpr int kPosts = 500;  // far more than a socket queues before its reader wakes
    for (int i = 0; i < kPosts; ++i) {
        ASSERT_TRUE(PostMessageA(hwnd, WM_USER + 1, i, 0)) << i << " " << GetLastError();
    }
    for (int i = 0; i < kPosts; ++i) {
        ASSERT_EQ(helper.WaitFor("message 0x401 "), "message 0x401 " + std::to_string(i) + " 0");
    }
}

TEST_F(WindowProcessTest, SigintAndSigtermEndTheLoopInTheProgramsOrder) {
    const struct {
        const char* name;
        std::vector<std::string> words;
        int signal;
        std::vector<std::string> lines;  // what follows "ready", in order
    } cases[] = {
        {"SIGTERM, a main window",
         {"window", "PalSignalClass", "Main"},
         SIGTERM,
         {"message 0x10 0 0", "message 0x2 0 0", "message 0x82 0 0", "quit 0"}},
        {"SIGINT, a main window",
         {"window", "PalSignalClass", "Main"},
         SIGINT,
         {"message 0x10 0 0", "message 0x2 0 0", "message 0x82 0 0", "quit 0"}},
        {"SIGINT, no window", {"loop"}, SIGINT, {"quit 0"}},
        {"SIGTERM, no window", {"loop"}, SIGTERM, {"quit 0"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Helper helper(c.words);
        ASSERT_FALSE(helper.WaitFor("ready").empty());
        helper.Signal(c.signal);
        for (const std::string& expected : c.lines) {
            EXPECT_EQ(helper.ReadLine(), expected);
        }
        EXPECT_TRUE(ExitedWith(helper.WaitExit(), 0));
    }
}

TEST_F(WindowProcessTest, WithoutAnyoneToCloseItOrAskedTwiceTheSignalEndsTheProgram) {
    {
        SCOPED_TRACE("no message queue");
        Helper idle({"idle"});
        ASSERT_FALSE(idle.WaitFor("ready").empty());
        idle.Signal(SIGTERM);
        EXPECT_TRUE(EndedBy(idle.WaitExit(), SIGTERM));
    }
    {
        SCOPED_TRACE("a window that stays open");
        Helper stubborn({"window", "PalStubbornClass", "Stubborn", "ignore-close"});
        ASSERT_NE(stubborn.ReadyWindow(), nullptr);
        stubborn.Signal(SIGINT);
        EXPECT_EQ(stubborn.ReadLine(), "message 0x10 0 0");
        EXPECT_EQ(stubborn.WaitExit(300), -1);  // still running
        stubborn.Signal(SIGTERM);
        EXPECT_TRUE(EndedBy(stubborn.WaitExit(), SIGTERM));
    }
}

}  // namespace
