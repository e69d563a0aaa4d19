// ShellOpen: the helper program records the command line and show command it was given.
#include <stdlib.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "common_test_support.h"
#include "dir_and_ini.h"
#include "test_root.h"
#include "windows.h"

namespace {

class ShellOpenTest : public ::testing::Test {
protected:
    void SetUp() override {
        record_ = root_.Path() + "/record";
        setenv("BR_COMMON_RECORD", record_.c_str(), 1);
        program_ = commontest::CopyHelper(root_.Path() + "/install", "BRDJUpdate");
        ASSERT_TRUE(brtest::WriteFile(root_.Path() + "/doc.txt", "text"));
    }
    void TearDown() override { unsetenv("BR_COMMON_RECORD"); }

    // The helper's record once it has written it and ended.
    std::map<std::string, std::string> Record() {
        EXPECT_TRUE(commontest::WaitForFile(record_));
        auto values = commontest::ReadRecord(record_);
        EXPECT_TRUE(commontest::WaitUntilGone(std::stoi(values["pid"])));
        return values;
    }

    brtest::ScopedTestRoot root_;
    std::string record_;
    std::string program_;
};

struct StartCase {
    const char* name;
    const char* parameters;
    bool show;
    const char* cmdline;
    int showCommand;
};

void PrintTo(const StartCase& c, std::ostream* os) {
    *os << c.name;
}

class ShellOpenStartTest : public ShellOpenTest, public ::testing::WithParamInterface<StartCase> {};

TEST_P(ShellOpenStartTest, StartsTheProgramWithItsParametersAndShowCommand) {
    const StartCase& c = GetParam();
    ASSERT_TRUE(ShellOpen(program_, c.parameters, c.show));
    auto values = Record();
    EXPECT_EQ(values["cmdline"], c.cmdline);
    EXPECT_EQ(values["show"], std::to_string(c.showCommand));
}

INSTANTIATE_TEST_SUITE_P(Cases, ShellOpenStartTest,
                         ::testing::Values(StartCase{"hidden", "/data/BRDJ/", false,
                                                     "[/data/BRDJ/]", SW_HIDE},
                                           StartCase{"shown", "/S", true, "[/S]", SW_SHOWNORMAL},
                                           StartCase{"parameters_unsplit", " a  \"b c\" ", false,
                                                     "[ a  \"b c\" ]", SW_HIDE},
                                           StartCase{"no_parameters", "", false, "[]", SW_HIDE}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ShellOpenTest, TheWindowsNameOfTheProgramStartsIt) {
    ASSERT_TRUE(ShellOpen(program_ + ".exe", "x", false));
    EXPECT_EQ(Record()["cmdline"], "[x]");
}

TEST_F(ShellOpenTest, AnEmptyFileNameIsFalseAndStartsNothing) {
    EXPECT_FALSE(ShellOpen("", "x", true));
    EXPECT_FALSE(ShellOpen("", "", false));
    EXPECT_FALSE(commontest::WaitForFile(record_, 200));
}

struct FailCase {
    const char* name;
    const char* file;  // under the test root
};

void PrintTo(const FailCase& c, std::ostream* os) {
    *os << c.name;
}

class ShellOpenFailTest : public ShellOpenTest, public ::testing::WithParamInterface<FailCase> {};

TEST_P(ShellOpenFailTest, IsFalse) {
    EXPECT_FALSE(ShellOpen(root_.Path() + GetParam().file, "x", false));
    EXPECT_FALSE(commontest::WaitForFile(record_, 200));
}

INSTANTIATE_TEST_SUITE_P(Cases, ShellOpenFailTest,
                         ::testing::Values(FailCase{"missing_program", "/install/none.exe"},
                                           FailCase{"missing_folder", "/none/BRDJUpdate.exe"},
                                           FailCase{"not_a_program", "/doc.txt"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
