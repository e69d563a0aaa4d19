// CDebugLog through the logging helper, each test with an installation and a working folder of
// its own.
#include <errno.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "debug_log.h"
#include "debug_log_test_support.h"
#include "log_texts.h"
#include "windows.h"

namespace {

using logtest::LogInstall;

struct LevelCase {
    const char* name;
    const char* config;  // nullptr: no configuration file
    bool on;
};

void PrintTo(const LevelCase& c, std::ostream* os) {
    *os << c.name;
}

class LevelTest : public ::testing::TestWithParam<LevelCase> {};

TEST_P(LevelTest, OnlyTheExactWordDebugTurnsLoggingOn) {
    const LevelCase& c = GetParam();
    LogInstall install;
    if (c.config) {
        ASSERT_TRUE(install.WriteConfig(c.config));
    }
    install.MakeLogFolder();
    ASSERT_EQ(install.Run({"log=hello", "log=again"}), 0);
    if (c.on) {
        EXPECT_EQ(brtest::ReadFile(install.LogFile()), "hello\nagain\n");
    } else {
        EXPECT_TRUE(LogInstall::Entries(install.Work() + "/log").empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LevelTest,
    ::testing::Values(LevelCase{"debug", "[LogMsg]\nrealloglevel=debug\n", true},
                      LevelCase{"names_in_any_case", "[logmsg]\nRealLogLevel=debug\n", true},
                      LevelCase{"blanks_around", "[LogMsg]\nrealloglevel =  debug \n", true},
                      LevelCase{"quoted", "[LogMsg]\nrealloglevel=\"debug\"\n", true},
                      LevelCase{"capital_d", "[LogMsg]\nrealloglevel=Debug\n", false},
                      LevelCase{"all_capitals", "[LogMsg]\nrealloglevel=DEBUG\n", false},
                      LevelCase{"longer_word", "[LogMsg]\nrealloglevel=debugging\n", false},
                      LevelCase{"other_level", "[LogMsg]\nrealloglevel=info\n", false},
                      LevelCase{"empty_value", "[LogMsg]\nrealloglevel=\n", false},
                      LevelCase{"missing_key", "[LogMsg]\nlevel=debug\n", false},
                      LevelCase{"missing_section", "[Log]\nrealloglevel=debug\n", false},
                      LevelCase{"missing_file", nullptr, false}),
    [](const auto& info) { return std::string(info.param.name); });

// A value of more than 259 bytes is cut by the read and is never "debug".
TEST(DebugLog, AValueLongerThanTheBufferKeepsLoggingOff) {
    LogInstall install;
    ASSERT_TRUE(install.SetLevel("debug" + std::string(300, ' ') + "x"));
    install.MakeLogFolder();
    ASSERT_EQ(install.Run({"log=hello"}), 0);
    EXPECT_TRUE(LogInstall::Entries(install.Work() + "/log").empty());
}

TEST(DebugLog, OffCreatesNoFileAndNoFolder) {
    LogInstall install;
    ASSERT_TRUE(install.SetLevel("info"));
    ASSERT_EQ(install.Run({"log=hello", "texts"}), 0);
    EXPECT_TRUE(LogInstall::Entries(install.Work()).empty());
    EXPECT_EQ(LogInstall::Entries(install.Install()), (std::vector<std::string>{"BRDJ", "Conf"}));
}

TEST(DebugLog, ALineIsTheFormattedTextAndOneNewline) {
    LogInstall install;
    ASSERT_TRUE(install.SetLevel("debug"));
    install.MakeLogFolder();
    ASSERT_EQ(install.Run({"log=a", "progress=42", "log=", "log=100% done"}), 0);
    EXPECT_EQ(brtest::ReadFile(install.LogFile()), "a\nFlash\xA3\xBAOnProgress-42\n\n100% done\n");
}

TEST(DebugLog, TheFileIsUnderTheWorkingFolderNotTheProgramFolder) {
    LogInstall install;
    ASSERT_TRUE(install.SetLevel("debug"));
    install.MakeLogFolder();
    std::filesystem::create_directories(install.Install() + "/log");
    ASSERT_EQ(install.Run({"log=here"}), 0);
    EXPECT_EQ(brtest::ReadFile(install.LogFile()), "here\n");
    EXPECT_TRUE(LogInstall::Entries(install.Install() + "/log").empty());
}

TEST(DebugLog, WithoutALogFolderLinesAreDroppedUntilItExists) {
    LogInstall install;
    ASSERT_TRUE(install.SetLevel("debug"));
    ASSERT_EQ(install.Run({"log=first"}), 0);
    EXPECT_TRUE(LogInstall::Entries(install.Work()).empty());
    ASSERT_EQ(install.Run({"log=first", "mkdir=log", "log=second", "log=third"}), 0);
    EXPECT_EQ(brtest::ReadFile(install.LogFile()), "second\nthird\n");
}

TEST(DebugLog, TheFirstLineOfARunTruncatesThePreviousFile) {
    LogInstall install;
    ASSERT_TRUE(install.SetLevel("debug"));
    install.MakeLogFolder();
    ASSERT_TRUE(brtest::WriteFile(install.LogFile(), "previous run, a longer line\n"));
    ASSERT_EQ(install.Run({"log=new"}), 0);
    EXPECT_EQ(brtest::ReadFile(install.LogFile()), "new\n");
}

TEST(DebugLog, ARunThatLogsNothingLeavesThePreviousFileUntouched) {
    LogInstall install;
    ASSERT_TRUE(install.SetLevel("debug"));
    install.MakeLogFolder();
    ASSERT_TRUE(brtest::WriteFile(install.LogFile(), "previous run\n"));
    const auto written = std::filesystem::last_write_time(install.LogFile());
    ASSERT_EQ(install.Run({}), 0);
    ASSERT_EQ(install.Run({"mkdir=elsewhere"}), 0);
    EXPECT_EQ(brtest::ReadFile(install.LogFile()), "previous run\n");
    EXPECT_EQ(std::filesystem::last_write_time(install.LogFile()), written);
}

TEST(DebugLog, EveryLineIsInTheFileWhenTheProcessEndsAbruptly) {
    LogInstall install;
    ASSERT_TRUE(install.SetLevel("debug"));
    install.MakeLogFolder();
    ASSERT_EQ(install.Run({"log=one", "log=two", "exit=3"}), 3);
    EXPECT_EQ(brtest::ReadFile(install.LogFile()), "one\ntwo\n");
}

// A change of the configuration while the program runs has no effect, either way.
TEST(DebugLog, TheLevelIsReadOncePerProcess) {
    LogInstall install;
    install.MakeLogFolder();
    ASSERT_TRUE(install.SetLevel("debug"));
    ASSERT_EQ(install.Run({"log=a", "level=off", "log=b"}), 0);
    EXPECT_EQ(brtest::ReadFile(install.LogFile()), "a\nb\n");

    ASSERT_TRUE(install.SetLevel("off"));
    std::filesystem::remove(install.LogFile());
    ASSERT_EQ(install.Run({"log=a", "level=debug", "log=b"}), 0);
    EXPECT_TRUE(LogInstall::Entries(install.Work() + "/log").empty());
}

TEST(DebugLog, LeavesTheCallersLastErrorAndErrno) {
    CDebugLog log;
    SetLastError(1234);
    errno = EDOM;
    log.Log("x %d", 1);
    log.Log("y");
    EXPECT_EQ(GetLastError(), 1234u);
    EXPECT_EQ(errno, EDOM);
}

struct TextCase {
    const char* name;
    const char* (*text)();
    const char* bytes;
};

void PrintTo(const TextCase& c, std::ostream* os) {
    *os << c.name;
}

class LogTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(LogTextTest, IsTheGbkText) {
    EXPECT_EQ(std::string(GetParam().text()), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LogTextTest,
    ::testing::Values(
        TextCase{"init_window", LogTextInitWindow,
                 "\xD6\xF7\xC1\xF7\xB3\xCC\xA3\xBA\xB3\xF5\xCA\xBC\xBB\xAF\xB4\xB0\xBF\xDA"},
        TextCase{"init_flash", LogTextInitFlash,
                 "\xD6\xF7\xC1\xF7\xB3\xCC\xA3\xBA\xB3\xF5\xCA\xBC\xBB\xAF"
                 "Flash"},
        TextCase{"flash_progress", LogTextFlashProgress, "Flash\xA3\xBAOnProgress-%d"},
        TextCase{"flash_debug", LogTextFlashDebug, "FlashDebug\xA3\xBA%s"},
        TextCase{"open_song_failed", LogTextOpenSongFailed,
                 "\xB2\xA5\xB7\xC5\xA3\xBA\xB4\xF2\xBF\xAA\xB8\xE8\xC7\xFA\xCA\xA7\xB0\xDC"
                 "\xA3\xAD%s"},
        TextCase{"play_song", LogTextPlaySong,
                 "\xB2\xA5\xB7\xC5\xA3\xBA\xB2\xA5\xB7\xC5\xB8\xE8\xC7\xFA"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
