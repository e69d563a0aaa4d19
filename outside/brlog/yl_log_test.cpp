#include "yl_log.h"

#include <dlfcn.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "test_root.h"

extern char** environ;

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

struct Parsed {
    long pid = 0;
    long tid = 0;
    int level = 0;
    std::string function;
    std::string message;
};

bool AllDigits(const std::string& text, size_t from, size_t count) {
    for (size_t i = from; i < from + count; ++i) {
        if (i >= text.size() || !std::isdigit(static_cast<unsigned char>(text[i]))) {
            return false;
        }
    }
    return true;
}

// "2024-01-31 23:59:59.007 [pid:tid] level function: message" (std::regex would recurse once
// per byte of a long line).
bool Parse(const std::string& line, Parsed* out) {
    const std::string shape = "dddd-dd-dd dd:dd:dd.ddd [";
    if (line.size() < shape.size()) {
        return false;
    }
    for (size_t i = 0; i < shape.size(); ++i) {
        if (shape[i] == 'd' ? !AllDigits(line, i, 1) : line[i] != shape[i]) {
            return false;
        }
    }
    char* end = nullptr;
    const char* at = line.c_str() + shape.size();
    out->pid = std::strtol(at, &end, 10);
    if (end == at || *end != ':') {
        return false;
    }
    at = end + 1;
    out->tid = std::strtol(at, &end, 10);
    if (end == at || std::string(end, 2) != "] ") {
        return false;
    }
    at = end + 2;
    out->level = static_cast<int>(std::strtol(at, &end, 10));
    if (end == at || *end != ' ') {
        return false;
    }
    std::string rest(end + 1);
    size_t colon = rest.find(": ");
    if (colon == std::string::npos) {
        return false;
    }
    out->function = rest.substr(0, colon);
    out->message = rest.substr(colon + 2);
    return true;
}

TEST(YlLog, WritesOneLineWithTimeIdsFunctionAndMessage) {
    brtest::ScopedTestRoot root;
    YL_Log("brServiceProxy.txt", 0, "CP2PProxy::P2PStartDown", "sign(%d, %d)", -5, 7);
    YL_Log("brServiceProxy.txt", 3, "InitProxy", "InitProxy ok");
    std::string text = brtest::ReadFile(root.LogDir() + "/brServiceProxy.txt");
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    auto lines = Lines(text);
    ASSERT_EQ(lines.size(), 2u);
    Parsed first, second;
    ASSERT_TRUE(Parse(lines[0], &first)) << lines[0];
    ASSERT_TRUE(Parse(lines[1], &second)) << lines[1];
    EXPECT_EQ(first.pid, getpid());
    EXPECT_EQ(first.level, 0);
    EXPECT_EQ(first.function, "CP2PProxy::P2PStartDown");
    EXPECT_EQ(first.message, "sign(-5, 7)");
    EXPECT_EQ(second.level, 3);
    EXPECT_EQ(second.function, "InitProxy");
    EXPECT_EQ(second.message, "InitProxy ok");
}

TEST(YlLog, MessagesAreBytes) {
    brtest::ScopedTestRoot root;
    // GBK bytes, including a second byte that looks like a backslash and one like "%".
    const std::string gbk = "\xb7\xfe\xce\xf1\xbd\xf8\xb3\xcc\x5c\xce\xde\xcf\xec\xd3\xa6";
    YL_Log("a.txt", 0, "F", gbk.c_str());
    YL_Log("a.txt", 0, "F", "%s", gbk.c_str());
    auto lines = Lines(brtest::ReadFile(root.LogDir() + "/a.txt"));
    ASSERT_EQ(lines.size(), 2u);
    for (const std::string& line : lines) {
        ASSERT_GE(line.size(), gbk.size());
        EXPECT_EQ(line.substr(line.size() - gbk.size()), gbk);
    }
}

TEST(YlLog, HostileInputStaysOneBoundedLine) {
    brtest::ScopedTestRoot root;
    const std::string huge(1 << 20, 'h');
    struct Case {
        const char* name;
        const char* format;
        const char* argument;
        std::string expected;  // the message, or its start when it is cut
        bool cut;
    };
    const Case cases[] = {
        {"null format", nullptr, nullptr, "(null)", false},
        {"line breaks inside", "one\ntwo\r\nthree\n\n", nullptr, "one two  three", false},
        {"null string argument", "[%s]", nullptr, "[(null)]", false},
        {"huge message", "%s", huge.c_str(), std::string(64 * 1024, 'h') + " [cut]", true},
    };
    for (const Case& c : cases) {
        std::string file = std::string("hostile.txt");
        unlink((root.LogDir() + "/" + file).c_str());
        errno = EBADF;
        if (c.argument || std::string(c.name) == "null string argument") {
            YL_Log(file, 0, "F", c.format, c.argument);
        } else {
            YL_Log(file, 0, "F", c.format);
        }
        EXPECT_EQ(errno, EBADF) << c.name;
        auto lines = Lines(brtest::ReadFile(root.LogDir() + "/" + file));
        ASSERT_EQ(lines.size(), 1u) << c.name;
        Parsed parsed;
        ASSERT_TRUE(Parse(lines[0], &parsed)) << c.name;
        EXPECT_EQ(parsed.message, c.expected) << c.name;
    }
}

TEST(YlLog, CutNeverSplitsATwoByteCharacter) {
    brtest::ScopedTestRoot root;
    // One byte, then two-byte characters across the 64 KiB limit: the cut must fall between two.
    std::string text = "a";
    while (text.size() < 70 * 1024) {
        text += "\xd6\xd0";
    }
    YL_Log("gbk.txt", 0, "F", "%s", text.c_str());
    auto lines = Lines(brtest::ReadFile(root.LogDir() + "/gbk.txt"));
    ASSERT_EQ(lines.size(), 1u);
    Parsed parsed;
    ASSERT_TRUE(Parse(lines[0], &parsed));
    std::string kept = parsed.message.substr(0, parsed.message.size() - 6);
    EXPECT_EQ(parsed.message.substr(kept.size()), " [cut]");
    EXPECT_EQ(kept.size(), 64u * 1024 - 1);
    EXPECT_EQ(kept, text.substr(0, kept.size()));
}

TEST(YlLog, CreatesMissingFoldersAndRefusesNamesOutsideThem) {
    brtest::ScopedTestRoot root;
    std::string nested = root.Path() + "/deep/er/log/";
    setenv("BRLOG_DIR", nested.c_str(), 1);
    YL_Log("x.txt", 0, "F", "made");
    EXPECT_EQ(Lines(brtest::ReadFile(root.Path() + "/deep/er/log/x.txt")).size(), 1u);

    for (const char* bad : {"", ".", "..", "../escape.txt", "sub/x.txt"}) {
        YL_Log(bad, 0, "F", "nothing");
    }
    struct stat st;
    EXPECT_NE(stat((root.Path() + "/deep/er/escape.txt").c_str(), &st), 0);
    EXPECT_NE(stat((root.Path() + "/deep/er/log/sub").c_str(), &st), 0);
}

TEST(YlLog, WithoutTheVariableWritesBesideTheLibrary) {
    brtest::ScopedTestRoot root;
    unsetenv("BRLOG_DIR");
    Dl_info info;
    ASSERT_TRUE(dladdr(reinterpret_cast<void*>(&YL_Log), &info));
    std::string library = info.dli_fname;
    std::string folder = library.substr(0, library.find_last_of('/')) + "/log";
    std::string file = "brlog-test-" + std::to_string(getpid()) + ".txt";
    YL_Log(file, 0, "F", "beside");
    std::string text = brtest::ReadFile(folder + "/" + file);
    unlink((folder + "/" + file).c_str());
    rmdir(folder.c_str());  // only when empty
    EXPECT_EQ(Lines(text).size(), 1u);
}

// Every line is whole, and every writer's lines arrive complete and in its order.
void ExpectWholeLines(const std::string& text, const std::map<std::string, int>& expected) {
    std::map<std::string, int> next;
    for (const std::string& line : Lines(text)) {
        Parsed parsed;
        ASSERT_TRUE(Parse(line, &parsed)) << line.substr(0, 120);
        std::istringstream words(parsed.message);
        std::string tag, filler;
        int n = -1;
        words >> tag >> n >> filler;
        ASSERT_EQ(filler, std::string(300, 'x')) << line.substr(0, 120);
        EXPECT_EQ(n, next[tag]) << tag;
        next[tag] = n + 1;
    }
    EXPECT_EQ(next, expected);
}

TEST(YlLogConcurrent, LinesOfManyThreadsNeverMix) {
    brtest::ScopedTestRoot root;
    const int kThreads = 8;
    const int kLines = 400;
    std::vector<std::thread> threads;
    std::map<std::string, int> expected;
    for (int t = 0; t < kThreads; ++t) {
        std::string tag = "t" + std::to_string(t);
        expected[tag] = kLines;
        threads.emplace_back([tag] {
            const std::string filler(300, 'x');
            for (int i = 0; i < kLines; ++i) {
                YL_Log("mt.txt", 0, "Thread", "%s %d %s", tag.c_str(), i, filler.c_str());
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    ExpectWholeLines(brtest::ReadFile(root.LogDir() + "/mt.txt"), expected);
}

TEST(YlLogConcurrent, LinesOfTwoProcessesNeverMix) {
    brtest::ScopedTestRoot root;
    const std::string helper = BR_TEST_BIN_DIR "/brlog_writer_helper";
    const int kLines = 2000;
    std::vector<pid_t> children;
    for (const char* tag : {"p1", "p2"}) {
        std::string count = std::to_string(kLines);
        char* argv[] = {const_cast<char*>(helper.c_str()), const_cast<char*>("mp.txt"),
                        const_cast<char*>(tag), count.data(), nullptr};
        pid_t pid;
        ASSERT_EQ(posix_spawn(&pid, helper.c_str(), nullptr, nullptr, argv, environ), 0);
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    ExpectWholeLines(brtest::ReadFile(root.LogDir() + "/mp.txt"), {{"p1", kLines}, {"p2", kLines}});
}

}  // namespace
