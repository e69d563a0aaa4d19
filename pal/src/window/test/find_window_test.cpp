// FindWindowA and the runtime root's window registry, within one process: matching, records of
// ended processes, runtime roots.
#include <dirent.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "process/process_identity.h"
#include "window/window_entry.h"
#include "test/window_test_support.h"

namespace {

using paltest::TestClass;
using paltest::WindowTest;

std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..") {
                names.push_back(name);
            }
        }
        closedir(dir);
    }
    return names;
}

TEST_F(WindowTest, FindWindowAByClassTitleBothOrNeither) {
    TestClass a;
    TestClass b;
    HWND a1 = a.Create(0, nullptr, "One");
    HWND a2 = a.Create(WS_VISIBLE, nullptr, "Two");  // hidden or not, both are found
    HWND b1 = b.Create(0, nullptr, "One");
    HWND hidden = a.Create(0, HWND_MESSAGE, "One");  // message-only: never found
    ASSERT_TRUE(a1 && a2 && b1 && hidden);
    std::string lowerA = a.Name();
    for (char& c : lowerA) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    const struct {
        LPCSTR className;
        LPCSTR title;
        HWND found;  // of several, the newest
    } cases[] = {
        {a.Name(), nullptr, a2},
        {nullptr, "One", b1},
        {a.Name(), "One", a1},
        {b.Name(), "Two", nullptr},
        {nullptr, nullptr, b1},
        {lowerA.c_str(), "ONE", a1},
        {MAKEINTATOM(a.Atom()), "two", a2},
        {MAKEINTATOM(0xBEEF), nullptr, nullptr},
        {"NoSuchClass", nullptr, nullptr},
        {a.Name(), "", nullptr},
        {nullptr, "On", nullptr},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindWindowA(c.className, c.title), c.found)
            << (IS_INTRESOURCE(c.className) ? "atom" : c.className) << " / "
            << (c.title ? c.title : "NULL");
    }
    DestroyWindow(a2);
    EXPECT_EQ(FindWindowA(a.Name(), nullptr), a1);
    DestroyWindow(a1);
    DestroyWindow(b1);
    DestroyWindow(hidden);
    EXPECT_EQ(FindWindowA(nullptr, nullptr), nullptr);
    EXPECT_TRUE(Entries(root_.Runtime() + "/hwnd").empty());  // every record went
}

TEST_F(WindowTest, FindWindowATitlesCompareGbkCharactersExactly) {
    TestClass windowClass;
    // 0x81 0x41 and 0x81 0x61 are two characters whose trail bytes are "A" and "a".
    HWND window = windowClass.Create(0, nullptr, "\x81\x41 Window");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(FindWindowA(nullptr, "\x81\x41 WINDOW"), window);
    EXPECT_EQ(FindWindowA(nullptr, "\x81\x61 Window"), nullptr);
    std::string gbk = PalGbk("服务窗口");
    HWND chinese = windowClass.Create(0, nullptr, gbk.c_str());
    ASSERT_NE(chinese, nullptr);
    EXPECT_EQ(FindWindowA(windowClass.Name(), gbk.c_str()), chinese);
    DestroyWindow(window);
    DestroyWindow(chinese);
}

TEST_F(WindowTest, RecordsOfEndedProcessesAreIgnoredAndRemoved) {
    std::string folder = root_.Runtime() + "/hwnd";
    std::string inboxes = root_.Runtime() + "/post";
    TestClass windowClass;
    HWND live = windowClass.Create(0, nullptr, "Ghost");  // makes the folders
    ASSERT_NE(live, nullptr);

    pid_t child = fork();
    if (child == 0) {
        _exit(0);
    }
    ASSERT_GT(child, 0);
    ASSERT_EQ(waitpid(child, nullptr, 0), child);
    // An ended process, and this process's id with another start time (an earlier process that
    // had the same id).
    const pal::WindowEntry ended[] = {
        {(static_cast<uint64_t>(child) << 32) | 1, child, 1, 1, UINT64_MAX, windowClass.Name(),
         "Ghost"},
        {(static_cast<uint64_t>(getpid()) << 32) | 0x42, getpid(), pal::OwnProcessStart() + 1, 1,
         UINT64_MAX, windowClass.Name(), "Ghost"},
    };
    for (const auto& entry : ended) {
        ASSERT_TRUE(brtest::WriteFile(folder + "/" + pal::WindowEntryName(entry.hwnd),
                                      pal::EncodeWindowEntry(entry)));
        ASSERT_TRUE(brtest::WriteFile(
            inboxes + "/" + std::to_string(entry.pid) + "-" + std::to_string(entry.processStart),
            ""));
    }
    ASSERT_TRUE(brtest::WriteFile(folder + "/00000000deadbeef", "not a record"));

    EXPECT_EQ(FindWindowA(windowClass.Name(), "Ghost"), live);  // not the newer, ended ones
    for (const auto& entry : ended) {
        HWND hwnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(entry.hwnd));
        EXPECT_FALSE(IsWindow(hwnd));
        SetLastError(0);
        EXPECT_FALSE(PostMessageA(hwnd, WM_USER, 0, 0));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    }
    auto left = Entries(folder);
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left,
              (std::vector<std::string>{"00000000deadbeef",
                                        pal::WindowEntryName(reinterpret_cast<uintptr_t>(live))}));
    EXPECT_EQ(Entries(inboxes).size(), 1u);  // this process's own inbox only
    DestroyWindow(live);
    EXPECT_TRUE(Entries(inboxes).empty());
}

TEST_F(WindowTest, AnotherRuntimeRootDoesNotSeeTheWindow) {
    TestClass windowClass;
    HWND hwnd = windowClass.Create(0, nullptr, "Rooted");
    ASSERT_NE(hwnd, nullptr);
    {
        brtest::ScopedTestRoot other;
        EXPECT_EQ(FindWindowA(windowClass.Name(), "Rooted"), nullptr);
        EXPECT_EQ(FindWindowA(nullptr, nullptr), nullptr);
        EXPECT_TRUE(IsWindow(hwnd));  // a window of this process all the same
    }
    EXPECT_EQ(FindWindowA(windowClass.Name(), "Rooted"), hwnd);
    DestroyWindow(hwnd);
}

TEST_F(WindowTest, TopLevelWindowsNeedARuntimeRoot) {
    TestClass windowClass;
    std::string file = root_.Path() + "/plain-file";
    ASSERT_TRUE(brtest::WriteFile(file, ""));
    const char* saved = std::getenv("PAL_RUNTIME_DIR");
    std::string restore = saved ? saved : "";
    setenv("PAL_RUNTIME_DIR", (file + "/runtime").c_str(), 1);  // cannot be made
    SetLastError(0);
    EXPECT_EQ(windowClass.Create(), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    HWND messageOnly = windowClass.Create(0, HWND_MESSAGE);
    EXPECT_NE(messageOnly, nullptr);
    EXPECT_EQ(FindWindowA(nullptr, nullptr), nullptr);
    setenv("PAL_RUNTIME_DIR", restore.c_str(), 1);
    DestroyWindow(messageOnly);
}

}  // namespace
