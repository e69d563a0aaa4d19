// ReadConfigValue and WriteConfigValue on the data folder's Config.ini.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "dir_and_ini.h"
#include "test_root.h"

namespace {

// A data folder of the test's own, set in g_strWorkDir as the programs set it.
class ConfigValueTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = g_strWorkDir;
        dataDir_ = root_.AppData() + "/BRDJ/";
        mkdir(dataDir_.c_str(), 0755);
        g_strWorkDir = dataDir_;
    }
    void TearDown() override { g_strWorkDir = saved_; }

    std::string File() const { return dataDir_ + "Config.ini"; }

    brtest::ScopedTestRoot root_;
    std::string dataDir_;
    std::string saved_;
};

struct ReadCase {
    const char* name;
    const char* content;  // nullptr: no file
    const char* section;
    const char* key;
    const char* fallback;
    const char* expected;
    bool result;
};

void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << c.name;
}

class ReadConfigValueTest : public ConfigValueTest,
                            public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ReadConfigValueTest, DeliversTheValueOrTheFallback) {
    const ReadCase& c = GetParam();
    if (c.content) {
        ASSERT_TRUE(brtest::WriteFile(File(), c.content));
    }
    std::string value = "left over";
    EXPECT_EQ(ReadConfigValue(c.section, c.key, value, c.fallback), c.result);
    EXPECT_EQ(value, c.expected);
}

const char kRecord[] = "[Update]\nVersion=1.0.0.9\nUpdateFile=\n[App]\nVersion = \"2.0\" \n";

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadConfigValueTest,
    ::testing::Values(
        ReadCase{"present", kRecord, "Update", "Version", "", "1.0.0.9", true},
        ReadCase{"present_fallback_unused", kRecord, "Update", "Version", "x", "1.0.0.9", true},
        ReadCase{"names_in_any_case", kRecord, "update", "VERSION", "", "1.0.0.9", true},
        ReadCase{"blanks_and_quotes_removed", kRecord, "App", "Version", "", "2.0", true},
        ReadCase{"missing_key_fallback", kRecord, "Update", "Other", "fb", "fb", true},
        ReadCase{"missing_key_no_fallback", kRecord, "Update", "Other", "", "", false},
        ReadCase{"missing_section", kRecord, "None", "Version", "fb", "fb", true},
        ReadCase{"empty_value_fallback", kRecord, "Update", "UpdateFile", "fb", "fb", true},
        ReadCase{"empty_value_no_fallback", kRecord, "Update", "UpdateFile", "", "", false},
        ReadCase{"missing_file_fallback", nullptr, "Update", "Version", "fb", "fb", true},
        ReadCase{"missing_file_no_fallback", nullptr, "Update", "Version", "", "", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConfigValueTest, ReadCutsAValueTo255Bytes) {
    ASSERT_TRUE(brtest::WriteFile(File(), "[Update]\nVersion=" + std::string(300, 'v') + "\n"));
    std::string value;
    EXPECT_TRUE(ReadConfigValue("Update", "Version", value, ""));
    EXPECT_EQ(value, std::string(255, 'v'));
}

TEST_F(ConfigValueTest, WriteCreatesTheFileAndReadsBack) {
    ASSERT_TRUE(WriteConfigValue("Update", "Version", "1.0.0.1"));
    ASSERT_TRUE(WriteConfigValue("Update", "UpdateFile", dataDir_ + "BRDJ_1.0.0.1.exe"));
    EXPECT_EQ(brtest::ReadFile(File()),
              "[Update]\nVersion=1.0.0.1\nUpdateFile=" + dataDir_ + "BRDJ_1.0.0.1.exe\n");
    std::string value;
    EXPECT_TRUE(ReadConfigValue("Update", "UpdateFile", value, ""));
    EXPECT_EQ(value, dataDir_ + "BRDJ_1.0.0.1.exe");
}

TEST_F(ConfigValueTest, WriteOfTheEmptyTextKeepsTheKeyAndReadsAsTheFallback) {
    ASSERT_TRUE(brtest::WriteFile(File(), "[Update]\nVersion=1.0.0.1\nUpdateFile=/x.exe\n"));
    ASSERT_TRUE(WriteConfigValue("Update", "Version", ""));
    ASSERT_TRUE(WriteConfigValue("Update", "UpdateFile", ""));
    EXPECT_EQ(brtest::ReadFile(File()), "[Update]\nVersion=\nUpdateFile=\n");
    std::string value;
    EXPECT_FALSE(ReadConfigValue("Update", "Version", value, ""));
    EXPECT_EQ(value, "");
    EXPECT_TRUE(ReadConfigValue("Update", "Version", value, "fb"));
    EXPECT_EQ(value, "fb");
}

TEST_F(ConfigValueTest, TheFileFollowsTheWorkDirAtEveryCall) {
    ASSERT_TRUE(WriteConfigValue("Update", "Version", "first"));
    std::string other = root_.AppData() + "/other/";
    mkdir(other.c_str(), 0755);
    g_strWorkDir = other;
    ASSERT_TRUE(WriteConfigValue("Update", "Version", "second"));
    EXPECT_EQ(brtest::ReadFile(File()), "[Update]\nVersion=first\n");
    EXPECT_EQ(brtest::ReadFile(other + "Config.ini"), "[Update]\nVersion=second\n");
}

// With the common folder unavailable the programs leave g_strWorkDir empty: the bare name lives
// in the Windows folder.
TEST_F(ConfigValueTest, AnEmptyWorkDirUsesConfigIniInTheWindowsFolder) {
    g_strWorkDir.clear();
    ASSERT_TRUE(WriteConfigValue("Update", "Version", "1.2"));
    EXPECT_EQ(brtest::ReadFile(root_.WindowsDir() + "/Config.ini"), "[Update]\nVersion=1.2\n");
    std::string value;
    EXPECT_TRUE(ReadConfigValue("Update", "Version", value, ""));
    EXPECT_EQ(value, "1.2");
}

struct FailedWriteCase {
    const char* name;
    const char* workDir;  // under the test root
    const char* value;
};

void PrintTo(const FailedWriteCase& c, std::ostream* os) {
    *os << c.name;
}

class FailedWriteTest : public ConfigValueTest,
                        public ::testing::WithParamInterface<FailedWriteCase> {};

TEST_P(FailedWriteTest, ReportsFalse) {
    g_strWorkDir = root_.Path() + GetParam().workDir;
    EXPECT_FALSE(WriteConfigValue("Update", "Version", GetParam().value));
}

INSTANTIATE_TEST_SUITE_P(Cases, FailedWriteTest,
                         ::testing::Values(FailedWriteCase{"missing_folder", "/missing/", "1.0"},
                                           FailedWriteCase{"value_with_line_break",
                                                           "/appdata/BRDJ/", "1.0\n[App]"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
