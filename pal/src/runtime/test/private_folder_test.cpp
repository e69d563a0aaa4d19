// The runtime root and its folders against another user: wide folders are narrowed, folders and
// files of others refused, and posts that another user's process sends are dropped.
#include <grp.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

#include "window/post_wire.h"
#include "test_root.h"
#include "runtime/unix_address.h"
#include "window/window_registry.h"
#include "windows.h"

namespace {

constexpr uid_t kNobody = 65534;

mode_t ModeOf(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

bool RunningAsRoot() {
    return geteuid() == 0;
}

// Runs `step` in a child process that has dropped to the user nobody; its exit status.
int RunAsNobody(const std::function<int()>& step) {
    pid_t child = fork();
    if (child == 0) {
        if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) {
            _exit(100);
        }
        _exit(step());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class PrivateFolderTest : public ::testing::Test {
protected:
    std::string Runtime() const { return root_.Runtime(); }

    brtest::ScopedTestRoot root_;
};

HWND MakePublishedWindow(const char* className) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &DefWindowProcA;
    windowClass.lpszClassName = className;
    RegisterClassExA(&windowClass);
    return CreateWindowExA(0, className, "Private", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr,
                           nullptr, nullptr, nullptr);
}

TEST_F(PrivateFolderTest, WideFoldersOfOursAreNarrowedBeforeUse) {
    mode_t umaskBefore = umask(0);
    for (const char* folder : {"", "/mutex", "/hwnd", "/post"}) {
        std::string path = Runtime() + folder;
        mkdir(path.c_str(), 0777);
        ASSERT_EQ(chmod(path.c_str(), 0777), 0) << folder;
    }
    EXPECT_EQ(PalRuntimeDir(), Runtime());
    HANDLE mutex = CreateMutexA(nullptr, FALSE, "BRDJUpdate.RunningFlag");
    ASSERT_TRUE(mutex);
    HWND window = MakePublishedWindow("PalPrivateClass");
    ASSERT_TRUE(window);
    umask(umaskBefore);

    for (const char* folder : {"", "/mutex", "/hwnd", "/post"}) {
        EXPECT_EQ(ModeOf(Runtime() + folder), 0700u) << folder;
    }
    EXPECT_EQ(ModeOf(Runtime() + "/mutex/BRDJUpdate%2ERunningFlag"), 0600u);
    auto entries = pal::LiveWindowEntries(Runtime());
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(ModeOf(pal::InboxFolder(Runtime()) + "/" +
                     pal::InboxName(entries[0].pid, entries[0].processStart)),
              0600u);
    DestroyWindow(window);
    CloseHandle(mutex);
}

TEST_F(PrivateFolderTest, ALinkPlantedAsAMutexFileIsNotFollowed) {
    std::string victim = root_.Path() + "/victim";
    ASSERT_TRUE(PalPrivateFolder(Runtime() + "/mutex"));
    ASSERT_EQ(symlink(victim.c_str(), (Runtime() + "/mutex/BRDJUpdate%2ERunningFlag").c_str()), 0);

    EXPECT_EQ(CreateMutexA(nullptr, FALSE, "BRDJUpdate.RunningFlag"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_NE(access(victim.c_str(), F_OK), 0) << "the link's target was created";
}

TEST_F(PrivateFolderTest, ALinkInPlaceOfAFolderIsRefused) {
    std::string elsewhere = root_.Path() + "/elsewhere";
    ASSERT_EQ(mkdir(elsewhere.c_str(), 0700), 0);
    ASSERT_EQ(symlink(elsewhere.c_str(), (Runtime() + "/mutex").c_str()), 0);
    EXPECT_FALSE(PalPrivateFolder(Runtime() + "/mutex"));
    EXPECT_EQ(CreateMutexA(nullptr, FALSE, "PalLinked"), nullptr);
    EXPECT_NE(access((elsewhere + "/PalLinked").c_str(), F_OK), 0);
}

TEST_F(PrivateFolderTest, FoldersOfAnotherUserAreRefused) {
    if (!RunningAsRoot()) {
        GTEST_SKIP() << "needs root to give a folder to another user";
    }
    const struct {
        const char* name;
        std::string folder;
        std::function<bool()> used;
    } cases[] = {
        {"the root", Runtime(), [] { return !PalRuntimeDir().empty(); }},
        {"the mutex folder", Runtime() + "/mutex",
         [] {
             HANDLE mutex = CreateMutexA(nullptr, FALSE, "PalForeign");
             CloseHandle(mutex);
             return mutex != nullptr;
         }},
        {"the window records", Runtime() + "/hwnd",
         [] {
             HWND window = MakePublishedWindow("PalForeignClass");
             bool used = window && !pal::LiveWindowEntries(PalRuntimeDir()).empty();
             DestroyWindow(window);
             return used;
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        mkdir(c.folder.c_str(), 0700);
        ASSERT_EQ(chown(c.folder.c_str(), kNobody, kNobody), 0);
        EXPECT_FALSE(PalPrivateFolder(c.folder));
        EXPECT_EQ(errno, EACCES);
        EXPECT_FALSE(c.used());
        ASSERT_EQ(chown(c.folder.c_str(), 0, 0), 0);
    }
}

TEST_F(PrivateFolderTest, APostThatAnotherUserSendsIsDropped) {
    if (!RunningAsRoot()) {
        GTEST_SKIP() << "needs root to run a process as another user";
    }
    HWND window = MakePublishedWindow("PalInboxClass");
    ASSERT_TRUE(window);
    auto entries = pal::LiveWindowEntries(Runtime());
    ASSERT_EQ(entries.size(), 1u);
    // A socket connected to the inbox before the drop: the stranger gets past the folder's
    // mode, so only the inbox's own check of the sender stands in its way.
    pal::UnixAddress inbox(pal::InboxFolder(Runtime()),
                           pal::InboxName(entries[0].pid, entries[0].processStart));
    int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ASSERT_EQ(connect(fd, inbox.Get(), inbox.Size()), 0);
    auto Send = [fd, window](UINT message) {
        auto bytes = pal::EncodePost(pal::PostedMessage{
            static_cast<uint64_t>(reinterpret_cast<uintptr_t>(window)), message, 0, 0});
        return send(fd, bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size());
    };
    EXPECT_EQ(RunAsNobody([&] { return Send(WM_USER + 7) ? 0 : 1; }), 0);
    ASSERT_TRUE(Send(WM_USER + 8));  // ours, sent after the stranger's on the same socket

    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    bool strangersArrived = false;
    bool oursArrived = false;
    while (!oursArrived && std::chrono::steady_clock::now() < deadline) {
        MSG msg;
        if (!PeekMessageA(&msg, window, 0, 0, PM_REMOVE)) {
            Sleep(5);
            continue;
        }
        strangersArrived = strangersArrived || msg.message == WM_USER + 7;
        oursArrived = msg.message == WM_USER + 8;
    }
    EXPECT_TRUE(oursArrived);
    EXPECT_FALSE(strangersArrived);
    close(fd);
    DestroyWindow(window);
}

}  // namespace
