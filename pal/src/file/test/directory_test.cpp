#include <sys/stat.h>

#include <gtest/gtest.h>

#include <string>

#include "test_root.h"
#include "windows.h"

namespace {

bool IsFolder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

TEST(CreateDirectoryA, CreatesOneLevel) {
    brtest::ScopedTestRoot root;
    ASSERT_TRUE(brtest::WriteFile(root.Path() + "/plain", "x"));
    const std::string base = root.Path();
    struct Case {
        std::string path;
        BOOL result;
        DWORD error;
    };
    const Case cases[] = {
        {base + "/BRDJ", TRUE, ERROR_SUCCESS},
        {base + "/BRDJ", FALSE, ERROR_ALREADY_EXISTS},
        {base + "/trailing/", TRUE, ERROR_SUCCESS},
        {base + "/plain", FALSE, ERROR_ALREADY_EXISTS},  // a file holds the name
        {base + "/missing/child", FALSE, ERROR_PATH_NOT_FOUND},
        {base + "/plain/child", FALSE, ERROR_PATH_NOT_FOUND},
        {base + "/wild*", FALSE, ERROR_INVALID_NAME},
        {"", FALSE, ERROR_PATH_NOT_FOUND},
        // The ANSI call keeps room for an 8.3 name below the folder: 248 bytes are too many.
        {base + "/" + std::string(247 - base.size(), 'd'), FALSE, ERROR_FILENAME_EXCED_RANGE},
    };
    for (const Case& c : cases) {
        SetLastError(0xdead);
        EXPECT_EQ(CreateDirectoryA(c.path.c_str(), nullptr), c.result) << c.path;
        if (c.result) {
            EXPECT_TRUE(IsFolder(c.path)) << c.path;
        } else {
            EXPECT_EQ(GetLastError(), c.error) << c.path;
        }
    }
    EXPECT_FALSE(IsFolder(base + "/missing"));
    std::string longest = base + "/" + std::string(246 - base.size(), 'd');
    EXPECT_EQ(longest.size(), 247u);
    EXPECT_TRUE(CreateDirectoryA(longest.c_str(), nullptr));
    EXPECT_FALSE(CreateDirectoryA(nullptr, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(CreateDirectoryA, ThenNormalAttributesAsTheClientDoes) {
    brtest::ScopedTestRoot root;
    const std::string dir = root.AppData() + "/BRDJ/";
    ASSERT_EQ(CreateDirectoryA(dir.c_str(), nullptr), 1);
    EXPECT_TRUE(SetFileAttributesA(dir.c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(PathFileExistsA(dir.c_str()));
    EXPECT_TRUE(brtest::WriteFile(dir + "Config.ini", "[Update]\n"));
}

}  // namespace
