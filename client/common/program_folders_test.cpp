// GetExeDir and GetCommonDataDir.
#include <stdlib.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>

#include "common_test_support.h"
#include "dir_and_ini.h"
#include "test_root.h"
#include "windows.h"

namespace {

std::string Canonical(const std::string& path) {
    return std::filesystem::weakly_canonical(path).string();
}

bool IsFolder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// What GetExeDir gives in a copy of the helper placed in that folder.
std::string ExeDirOfCopyIn(const brtest::ScopedTestRoot& root, const std::string& folder) {
    std::string record = root.Path() + "/record";
    setenv("BR_COMMON_RECORD", record.c_str(), 1);
    std::string program = commontest::CopyHelper(folder, "BRDJ");
    EXPECT_EQ(commontest::RunAndWait(program, "x"), 0);
    unsetenv("BR_COMMON_RECORD");
    return commontest::ReadRecord(record)["exe_dir"];
}

TEST(GetExeDir, IsTheTestProgramsFolderWithItsSeparator) {
    EXPECT_EQ(GetExeDir(), Canonical(BR_TEST_BIN_DIR) + "/");
}

TEST(GetExeDir, IsTheFolderOfAProgramCopiedIntoAnInstallFolder) {
    brtest::ScopedTestRoot root;
    std::string install = Canonical(root.Path()) + "/install";
    EXPECT_EQ(ExeDirOfCopyIn(root, install), install + "/");
}

// A program path longer than MAX_PATH is not cut: the cut text would end inside a folder name
// and give that folder's parent.
TEST(GetExeDir, IsWholeForAFolderLongerThanMaxPath) {
    brtest::ScopedTestRoot root;
    std::string folder = Canonical(root.Path());
    while (folder.size() <= MAX_PATH + 40) {
        folder += "/" + std::string(60, 'd');
    }
    EXPECT_EQ(ExeDirOfCopyIn(root, folder), folder + "/");
}

TEST(InstallConfigFile, IsConfUnderDefault) {
    EXPECT_EQ(InstallConfigFile(), "Conf/default/config.ini");
}

struct CommonFolderCase {
    const char* name;
    const char* appData;  // under the test root; "-" is a path beneath a plain file
    bool available;
    const char* expected;  // under the test root, when available
};

void PrintTo(const CommonFolderCase& c, std::ostream* os) {
    *os << c.name;
}

class GetCommonDataDirTest : public ::testing::TestWithParam<CommonFolderCase> {};

TEST_P(GetCommonDataDirTest, GivesTheFolderWithASeparatorOrTheEmptyText) {
    const CommonFolderCase& c = GetParam();
    brtest::ScopedTestRoot root;
    std::string value;
    if (std::string(c.appData) == "-") {
        ASSERT_TRUE(brtest::WriteFile(root.Path() + "/plain", "x"));
        value = root.Path() + "/plain/appdata";
    } else {
        value = root.Path() + c.appData;
    }
    setenv("PAL_COMMON_APPDATA", value.c_str(), 1);
    std::string dir = GetCommonDataDir();
    if (c.available) {
        EXPECT_EQ(dir, root.Path() + c.expected);
        EXPECT_TRUE(IsFolder(dir));
    } else {
        EXPECT_EQ(dir, "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GetCommonDataDirTest,
    ::testing::Values(CommonFolderCase{"existing", "/appdata", true, "/appdata/"},
                      CommonFolderCase{"trailing_separator", "/appdata/", true, "/appdata/"},
                      CommonFolderCase{"missing_is_created", "/appdata/new/deeper", true,
                                       "/appdata/new/deeper/"},
                      CommonFolderCase{"cannot_be_made", "-", false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
