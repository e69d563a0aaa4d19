// The player side's log lines, read from the file the log helper writes in an installation of
// its own with logging on.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "debug_log_test_support.h"

namespace {

class PlayerLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(install_.SetLevel("debug"));
        install_.MakeLogFolder();
    }
    std::string Log() const { return brtest::ReadFile(install_.LogFile()); }

    logtest::LogInstall install_{"client_player_log_helper"};
};

TEST_F(PlayerLogTest, PlayLogsBeforeTheCommandEvenWhenRefused) {
    ASSERT_EQ(install_.Run({"play-refused"}), 0);
    EXPECT_EQ(Log(), std::string("\xB2\xA5\xB7\xC5\xA3\xBA\xB2\xA5\xB7\xC5\xB8\xE8\xC7\xFA\n") +
                         "core Play\n");
}

// The item's first text, GBK bytes and all, after the refusal; nothing for an accepted open.
TEST_F(PlayerLogTest, ARefusedOpenLogsTheFirstText) {
    const std::string song = "\xB8\xE8 %s.flac";  // a GBK character and a percent sign
    ASSERT_EQ(install_.Run({"open-accepted=fine.flac", "open-refused=" + song}), 0);
    EXPECT_EQ(Log(),
              "core Open\ncore Open\n" + std::string(PalGbk("播放：打开歌曲失败－")) + song + "\n");
}

TEST_F(PlayerLogTest, EveryNotificationWritesItsTextInTheInterfacesOrder) {
    ASSERT_EQ(install_.Run({"notify-all"}), 0);
    const char* texts[] = {
        "Media通知：播放开始",
        "Media通知：播放暂停",
        "Media通知：播放恢复",
        "Media通知：播放停止",
        "Media通知：播放结束",
        "Media通知：播放失败",
        "Media通知：播放状态",
        "Media通知：下载开始",
        "Media通知：下载结束",
        "Media通知：下载失败",
        "Media通知：Sig改变",
        "Media通知：Player死亡",
        "Media通知：缺少解码器",
        "Media通知：切换歌曲",
        "Media通知：NotifyMvCanSeek",
        "Media通知：WMP播放网络歌曲时的缓冲进度",
        "Media通知：MV还没有下载足够多的数据，通知加载广告",
        "Media通知：由于外部的限制，不能播放MV（此时播放模块已经准备好可以播放了）",
        "Media通知：提示歌曲卡顿了",
    };
    std::string expected;
    for (const char* text : texts) {
        expected += std::string(PalGbk(text)) + "\n";
    }
    EXPECT_EQ(Log(), expected);
    // The texts are GBK: "通知" is CD A8 D6 AA.
    EXPECT_NE(Log().find("Media\xCD\xA8\xD6\xAA\xA3\xBA"), std::string::npos);
}

}  // namespace
