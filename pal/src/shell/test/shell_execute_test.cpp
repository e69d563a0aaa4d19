#include <gtest/gtest.h>

#include "test/process_test_support.h"

namespace {

using paltest::Helper;

INT_PTR Code(HINSTANCE result) {
    return reinterpret_cast<INT_PTR>(result);
}

class ShellExecuteTest : public ::testing::Test {
protected:
    void SetUp() override {
        record_ = root_.Path() + "/record.txt";
        setenv("PAL_TEST_RECORD", record_.c_str(), 1);
    }
    void TearDown() override { unsetenv("PAL_TEST_RECORD"); }

    // The record of the started helper, once it has written it.
    std::map<std::string, std::string> Record() {
        EXPECT_TRUE(paltest::WaitForFile(record_));
        auto record = paltest::ReadRecord(record_);
        std::remove(record_.c_str());
        return record;
    }

    brtest::ScopedTestRoot root_;
    paltest::ProcessGuard guard_;  // waits for what the test started
    std::string record_;
};

TEST_F(ShellExecuteTest, ParametersArriveAsOneArgument) {
    const std::string recorder = Helper("recorder");
    const struct {
        const char* parameters;
        int argc;
        const char* arg1;
    } cases[] = {
        {nullptr, 1, ""},
        {"", 1, ""},
        {"/S", 2, "/S"},
        {"C:/ProgramData/BRDJ dir/", 2, "C:/ProgramData/BRDJ dir/"},
        {" two  spaces \"quoted\" ", 2, " two  spaces \"quoted\" "},
    };
    for (const auto& c : cases) {
        EXPECT_GT(
            Code(ShellExecuteA(nullptr, "open", recorder.c_str(), c.parameters, nullptr, SW_HIDE)),
            32);
        auto record = Record();
        EXPECT_EQ(record["argc"], std::to_string(c.argc));
        EXPECT_EQ(record["arg1"], c.arg1);
    }
}

TEST_F(ShellExecuteTest, WinMainProgramGetsTheTextAndTheShowCommand) {
    std::string program = paltest::CopyFile(Helper("winmain"), root_.Path() + "/bin/BRDJUpdate");
    const struct {
        const char* parameters;
        INT show;
    } cases[] = {
        {"/data/BRDJ dir/", SW_HIDE},
        {"/S", SW_SHOWNORMAL},
        {nullptr, SW_SHOW},
    };
    for (const auto& c : cases) {
        std::string file = root_.Path() + "/bin/BRDJUpdate.exe";
        EXPECT_GT(Code(ShellExecuteA(nullptr, "open", file.c_str(), c.parameters, nullptr, c.show)),
                  32);
        auto record = Record();
        EXPECT_EQ(record["cmdline"], "[" + std::string(c.parameters ? c.parameters : "") + "]");
        EXPECT_EQ(record["show"], std::to_string(c.show));
        EXPECT_EQ(record["instance"], "program");
        EXPECT_EQ(record["previous"], "null");
        EXPECT_EQ(record["left"], "none");  // not handed on to its own children
    }
}

TEST_F(ShellExecuteTest, VerbsAndDirectory) {
    std::string dir = root_.Path() + "/work";
    std::filesystem::create_directories(dir);
    paltest::CopyFile(Helper("recorder"), dir + "/Tool");
    for (const char* verb : {static_cast<const char*>(nullptr), "", "open", "OPEN"}) {
        // A bare name is found in the given directory, which is also the program's folder.
        EXPECT_GT(Code(ShellExecuteA(nullptr, verb, "Tool.exe", nullptr, dir.c_str(), SW_SHOW)),
                  32);
        EXPECT_EQ(Record()["cwd"], paltest::Canonical(dir));
    }
}

TEST_F(ShellExecuteTest, ScriptWithoutExecuteBit) {
    std::string script = root_.Path() + "/install.sh";
    std::string out = root_.Path() + "/install.out";
    ASSERT_TRUE(paltest::WriteScript(script,
                                     "#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" > \"" + out +
                                         ".part\"\nmv \"" + out + ".part\" \"" + out + "\"\n",
                                     0644));
    EXPECT_GT(Code(ShellExecuteA(nullptr, "open", script.c_str(), "/S now", nullptr, SW_HIDE)), 32);
    ASSERT_TRUE(paltest::WaitForFile(out));
    EXPECT_EQ(brtest::ReadFile(out), "1|/S now|");
}

TEST_F(ShellExecuteTest, Failures) {
    std::string text = root_.Path() + "/readme.txt";
    ASSERT_TRUE(paltest::WriteScript(text, "a document\n", 0644));
    std::string recorder = Helper("recorder");
    setenv("PATH", root_.Path().c_str(), 1);  // no iexplore.exe anywhere
    const struct {
        const char* verb;
        std::string file;
        const char* directory;
        INT_PTR result;
    } cases[] = {
        {"open", root_.Path() + "/missing.exe", nullptr, SE_ERR_FNF},
        {"open", "iexplore.exe", nullptr, SE_ERR_FNF},
        {"open", "", nullptr, SE_ERR_FNF},
        {"open", root_.Path() + "/no/folder/x.exe", nullptr, SE_ERR_PNF},
        {"open", recorder, "/no/such/folder", SE_ERR_PNF},
        {"open", text, nullptr, SE_ERR_NOASSOC},
        {"print", recorder, nullptr, SE_ERR_NOASSOC},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(
            Code(ShellExecuteA(nullptr, c.verb, c.file.c_str(), nullptr, c.directory, SW_SHOW)),
            c.result)
            << c.file;
    }
    EXPECT_EQ(Code(ShellExecuteA(nullptr, "open", nullptr, nullptr, nullptr, SW_SHOW)), SE_ERR_FNF);
    EXPECT_FALSE(paltest::WaitForFile(record_, 200));  // nothing was started
}

class ShellExecuteUrlTest : public ShellExecuteTest {
protected:
    void SetUp() override {
        ShellExecuteTest::SetUp();
        out_ = root_.Path() + "/opened.txt";
        opener_ = root_.Path() + "/opener.sh";
        ASSERT_TRUE(paltest::WriteScript(opener_,
                                         "#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" > \"" + out_ +
                                             ".part\"\n/bin/mv \"" + out_ + ".part\" \"" + out_ +
                                             "\"\n",
                                         0644));
        setenv("PATH", root_.Path().c_str(), 1);  // and so no xdg-open
    }
    void TearDown() override {
        unsetenv("PAL_URL_OPENER");
        ShellExecuteTest::TearDown();
    }

    std::string Opened() {
        EXPECT_TRUE(paltest::WaitForFile(out_));
        std::string text = brtest::ReadFile(out_);
        std::remove(out_.c_str());
        return text;
    }

    std::string out_, opener_;
};

TEST_F(ShellExecuteUrlTest, AddressGoesToTheOpener) {
    setenv("PAL_URL_OPENER", opener_.c_str(), 1);
    for (const char* url :
         {"http://127.0.0.1:8080/ur/reflect/questionH.jsp?ver=XX",
          "https://127.0.0.1/cafe/st/SubContent?subid=1202696", "HTTP://127.0.0.1/a b"}) {
        EXPECT_GT(Code(ShellExecuteA(nullptr, "open", url, nullptr, nullptr, SW_SHOW)), 32);
        EXPECT_EQ(Opened(), std::string("1|") + url + "|");
    }
}

TEST_F(ShellExecuteUrlTest, XdgOpenWhenNoOpenerIsSet) {
    unsetenv("PAL_URL_OPENER");
    paltest::WriteScript(root_.Path() + "/xdg-open", brtest::ReadFile(opener_), 0755);
    EXPECT_GT(Code(ShellExecuteA(nullptr, nullptr, "http://127.0.0.1/", nullptr, nullptr, SW_SHOW)),
              32);
    EXPECT_EQ(Opened(), "1|http://127.0.0.1/|");
}

TEST_F(ShellExecuteUrlTest, NoOpener) {
    unsetenv("PAL_URL_OPENER");
    EXPECT_EQ(Code(ShellExecuteA(nullptr, "open", "http://127.0.0.1/", nullptr, nullptr, SW_SHOW)),
              SE_ERR_NOASSOC);
    setenv("PAL_URL_OPENER", (root_.Path() + "/missing-opener").c_str(), 1);
    EXPECT_LE(Code(ShellExecuteA(nullptr, "open", "https://127.0.0.1/", nullptr, nullptr, SW_SHOW)),
              32);
    // Not an address: "http:" alone, another scheme.
    for (const char* file : {"http://", "ftp://127.0.0.1/"}) {
        EXPECT_LE(Code(ShellExecuteA(nullptr, "open", file, nullptr, nullptr, SW_SHOW)), 32);
    }
    EXPECT_FALSE(paltest::WaitForFile(out_, 200));
}

}  // namespace
