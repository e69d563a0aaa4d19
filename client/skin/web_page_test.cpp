// OpenWebPage: the browser program "iexplore.exe" first, with the address as its parameter; the
// system's handler for addresses only when that program cannot be started.
#include <stdlib.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "test_root.h"
#include "wait_until.h"
#include "web_page.h"

namespace {

using namespace std::chrono_literals;

class WebPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        programs_ = root_.Path() + "/programs";
        ASSERT_EQ(mkdir(programs_.c_str(), 0700), 0);
        browser_ = root_.Path() + "/browser.txt";
        opener_ = root_.Path() + "/opener.txt";
        savedPath_ = getenv("PATH") ? getenv("PATH") : "";
        setenv("PATH", (programs_ + ":" + savedPath_).c_str(), 1);
        std::string openerProgram = Recorder("url-opener", opener_);
        setenv("PAL_URL_OPENER", openerProgram.c_str(), 1);
    }
    void TearDown() override {
        setenv("PATH", savedPath_.c_str(), 1);
        unsetenv("PAL_URL_OPENER");
    }

    // A program of the test's folder that writes its arguments, one a line, into `record`.
    std::string Recorder(const std::string& name, const std::string& record) {
        std::string path = programs_ + "/" + name;
        EXPECT_TRUE(brtest::WriteFile(path, "#!/bin/sh\nprintf '%s\\n' \"$@\" > " + record +
                                                ".part\nmv " + record + ".part " + record + "\n"));
        chmod(path.c_str(), 0700);
        return path;
    }
    static bool Exists(const std::string& path) {
        struct stat st;
        return stat(path.c_str(), &st) == 0;
    }

    brtest::ScopedTestRoot root_;
    std::string programs_;
    std::string browser_;
    std::string opener_;
    std::string savedPath_;
};

TEST_F(WebPageTest, TheBrowserProgramGetsTheAddressWhenItCanBeStarted) {
    Recorder("iexplore", browser_);
    OpenWebPage("http://help.example/cafe/st/SubContent?subid=1202696");
    ASSERT_TRUE(brtest::WaitUntil([&] { return Exists(browser_); }, 10s));
    EXPECT_EQ(brtest::ReadFile(browser_), "http://help.example/cafe/st/SubContent?subid=1202696\n");
    EXPECT_TRUE(brtest::NothingFor(300ms, [&] { return Exists(opener_); }));
}

TEST_F(WebPageTest, WithoutTheBrowserProgramTheSystemsHandlerGetsTheAddress) {
    OpenWebPage("http://feedback.example:8080/ur/reflect/questionH.jsp?ver=XX");
    ASSERT_TRUE(brtest::WaitUntil([&] { return Exists(opener_); }, 10s));
    EXPECT_EQ(brtest::ReadFile(opener_),
              "http://feedback.example:8080/ur/reflect/questionH.jsp?ver=XX\n");
}

TEST_F(WebPageTest, NoAddressOpensNothing) {
    Recorder("iexplore", browser_);
    OpenWebPage("");
    EXPECT_TRUE(brtest::NothingFor(300ms, [&] { return Exists(browser_) || Exists(opener_); }));
}

TEST_F(WebPageTest, BothTriesFailingIsSilent) {
    setenv("PAL_URL_OPENER", (programs_ + "/missing").c_str(), 1);
    OpenWebPage("http://help.example/");
    EXPECT_TRUE(brtest::NothingFor(300ms, [&] { return Exists(browser_) || Exists(opener_); }));
}

}  // namespace
