#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "brlib.h"
#include "test_root.h"
#include "windows.h"

namespace {

using BrLib::Path_Type;

TEST(GetBrPath, InstallFolderIsWhereTheLibraryIs) {
    std::string expected = std::filesystem::canonical(BR_BIN_DIR).string() + "/";
    std::string path = "old";
    EXPECT_EQ(BrLib::Dir::GetBrPath(BrLib::BR_PATH_INSTALL_DIR, path), 0);
    EXPECT_EQ(path, expected);
    EXPECT_EQ(BrLib::Dir::GetBrPath(static_cast<Path_Type>(100)), expected);
    EXPECT_TRUE(std::filesystem::exists(path + "libBrLib.so"));
}

TEST(GetBrPath, CallCenterFolderIsMadeInTheRuntimeRoot) {
    brtest::ScopedTestRoot root;
    std::string expected = PalRuntimeDir() + "/callcenter/";
    std::string path;
    EXPECT_EQ(BrLib::Dir::GetBrPath(static_cast<Path_Type>(101), path), 0);
    EXPECT_EQ(path, expected);
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(BrLib::Dir::GetBrPath(BrLib::BR_PATH_CALLCENTER_DIR), expected);  // exists now
}

TEST(GetBrPath, Failures) {
    brtest::ScopedTestRoot root;
    std::string path = "old";
    EXPECT_EQ(BrLib::Dir::GetBrPath(static_cast<Path_Type>(7), path), -1);
    EXPECT_EQ(path, "");
    EXPECT_EQ(BrLib::Dir::GetBrPath(static_cast<Path_Type>(102)), "");
    // A runtime root that cannot be made, and a call-center name taken by a file.
    ASSERT_TRUE(brtest::WriteFile(root.Path() + "/plain", "x"));
    setenv("PAL_RUNTIME_DIR", (root.Path() + "/plain/below").c_str(), 1);
    EXPECT_EQ(BrLib::Dir::GetBrPath(BrLib::BR_PATH_CALLCENTER_DIR, path), -1);
    EXPECT_EQ(path, "");
    setenv("PAL_RUNTIME_DIR", root.Runtime().c_str(), 1);
    ASSERT_TRUE(brtest::WriteFile(root.Runtime() + "/callcenter", "x"));
    EXPECT_EQ(BrLib::Dir::GetBrPath(BrLib::BR_PATH_CALLCENTER_DIR), "");
}

}  // namespace
