// PathExists and EnsureDirectory.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>

#include "dir_and_ini.h"
#include "test_root.h"

namespace {

bool IsFolder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

// A folder "dir", a file "file.txt", a folder whose name ends in a two-byte GBK character with
// "\" as its second byte, one whose name ends in a lone GBK lead byte, and "中" in UTF-8 (its
// last byte is a GBK lead byte).
class PathTest : public ::testing::Test {
protected:
    void SetUp() override {
        base_ = root_.Path() + "/tree";
        mkdir(base_.c_str(), 0755);
        mkdir((base_ + "/dir").c_str(), 0755);
        mkdir((base_ + "/gbk\x81\\").c_str(), 0755);
        mkdir((base_ + "/lone\x81").c_str(), 0755);
        mkdir((base_ + "/\xE4\xB8\xAD").c_str(), 0755);
        ASSERT_TRUE(brtest::WriteFile(base_ + "/file.txt", "x"));
    }
    brtest::ScopedTestRoot root_;
    std::string base_;
};

struct ExistsCase {
    const char* name;
    const char* path;  // "@" stands for the tree's folder
    bool expected;
};

void PrintTo(const ExistsCase& c, std::ostream* os) {
    *os << c.name;
}

std::string Expand(const std::string& pattern, const std::string& base) {
    std::string path = pattern;
    size_t at = path.find('@');
    if (at != std::string::npos) {
        path.replace(at, 1, base);
    }
    return path;
}

class PathExistsTest : public PathTest, public ::testing::WithParamInterface<ExistsCase> {};

TEST_P(PathExistsTest, DropsTrailingSeparatorsAndFindsTheRest) {
    EXPECT_EQ(PathExists(Expand(GetParam().path, base_)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PathExistsTest,
    ::testing::Values(ExistsCase{"folder", "@/dir", true},
                      ExistsCase{"folder_with_separator", "@/dir/", true},
                      ExistsCase{"folder_with_mixed_separators", "@/dir/\\//\\", true},
                      ExistsCase{"file", "@/file.txt", true},
                      ExistsCase{"file_with_separator", "@/file.txt/", true},
                      ExistsCase{"missing", "@/none", false},
                      ExistsCase{"missing_with_separator", "@/none/", false},
                      ExistsCase{"missing_parent", "@/none/dir", false},
                      ExistsCase{"empty", "", false}, ExistsCase{"root_only", "/", false},
                      ExistsCase{"separators_only", "\\/\\//", false},
                      ExistsCase{"star_matches", "@/*.txt", true},
                      ExistsCase{"star_matches_any_case", "@/*.TXT", true},
                      ExistsCase{"question_mark_matches", "@/fi?e.txt", true},
                      ExistsCase{"wildcard_without_match", "@/*.none", false},
                      ExistsCase{"gbk_trail_byte_kept", "@/gbk\x81\\", true},
                      ExistsCase{"gbk_trail_byte_then_separator", "@/gbk\x81\\/", true},
                      ExistsCase{"gbk_lead_byte_alone", "@/gbk\x81", false},
                      // '/' is never the second byte of a GBK character.
                      ExistsCase{"gbk_lead_byte_then_separator", "@/lone\x81/", true},
                      ExistsCase{"gbk_lead_byte_then_separators", "@/lone\x81//\\", true},
                      ExistsCase{"utf8_name", "@/\xE4\xB8\xAD", true},
                      ExistsCase{"utf8_name_with_separator", "@/\xE4\xB8\xAD/", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PathTest, PathExistsOfTheCurrentFolderRelativeName) {
    std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path(base_);
    EXPECT_TRUE(PathExists("dir/"));
    EXPECT_FALSE(PathExists("none"));
    std::filesystem::current_path(saved);
}

struct EnsureCase {
    const char* name;
    const char* path;  // "@" stands for the tree's folder
    bool expected;
    const char* folderAfter;  // a folder that exists afterwards, or "" for none
    const char* absentAfter;  // a path that does not exist afterwards, or ""
};

void PrintTo(const EnsureCase& c, std::ostream* os) {
    *os << c.name;
}

class EnsureDirectoryTest : public PathTest, public ::testing::WithParamInterface<EnsureCase> {};

TEST_P(EnsureDirectoryTest, CreatesOneLevelWhenMissing) {
    const EnsureCase& c = GetParam();
    EXPECT_EQ(EnsureDirectory(Expand(c.path, base_)), c.expected);
    if (*c.folderAfter) {
        EXPECT_TRUE(IsFolder(Expand(c.folderAfter, base_)));
    }
    if (*c.absentAfter) {
        EXPECT_FALSE(Exists(Expand(c.absentAfter, base_)));
    }
}

// A failed creation reports false, so a caller can tell the folder is not there.
INSTANTIATE_TEST_SUITE_P(
    Cases, EnsureDirectoryTest,
    ::testing::Values(EnsureCase{"empty", "", false, "", ""},
                      EnsureCase{"existing_folder", "@/dir", true, "@/dir", ""},
                      EnsureCase{"new_folder", "@/new", true, "@/new", ""},
                      EnsureCase{"new_folder_with_separator", "@/new/", true, "@/new", ""},
                      EnsureCase{"missing_parent", "@/none/new", false, "", "@/none"},
                      EnsureCase{"missing_parent_with_separator", "@/none/new/", false, "",
                                 "@/none"},
                      EnsureCase{"beneath_a_file", "@/file.txt/new", false, "", "@/file.txt/new"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PathTest, EnsureDirectoryLeavesAnExistingFileAsItIs) {
    EXPECT_TRUE(EnsureDirectory(base_ + "/file.txt"));
    EXPECT_FALSE(IsFolder(base_ + "/file.txt"));
    EXPECT_EQ(brtest::ReadFile(base_ + "/file.txt"), "x");
}

TEST_F(PathTest, EnsureDirectoryMakesAFolderTheOwnerCanWriteInto) {
    ASSERT_TRUE(EnsureDirectory(base_ + "/new/"));
    EXPECT_TRUE(brtest::WriteFile(base_ + "/new/Config.ini", "[Update]\n"));
}

}  // namespace
