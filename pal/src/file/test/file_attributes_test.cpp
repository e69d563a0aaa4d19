#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "test_root.h"
#include "windows.h"

namespace {

mode_t ModeOf(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

DWORD FoundAttributes(const std::string& path) {
    WIN32_FIND_DATAA data;
    HANDLE handle = FindFirstFileA(path.c_str(), &data);
    if (handle == INVALID_HANDLE_VALUE) {
        return INVALID_FILE_ATTRIBUTES;
    }
    FindClose(handle);
    return data.dwFileAttributes;
}

TEST(SetFileAttributesA, MapsReadOnlyToWritePermissions) {
    brtest::ScopedTestRoot root;
    const std::string file = root.Path() + "/f.txt";
    struct Case {
        mode_t before;
        DWORD attributes;
        mode_t after;
        DWORD found;
    };
    const Case cases[] = {
        {0644, FILE_ATTRIBUTE_READONLY, 0444, FILE_ATTRIBUTE_READONLY},
        {0664, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN, 0444, FILE_ATTRIBUTE_READONLY},
        {0444, FILE_ATTRIBUTE_NORMAL, 0644, FILE_ATTRIBUTE_NORMAL},
        {0400, FILE_ATTRIBUTE_ARCHIVE, 0600, FILE_ATTRIBUTE_NORMAL},
        {0640, FILE_ATTRIBUTE_NORMAL, 0640, FILE_ATTRIBUTE_NORMAL},  // writable stays as it is
        {0640, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, 0640, FILE_ATTRIBUTE_NORMAL},
    };
    for (const Case& c : cases) {
        chmod(file.c_str(), 0644);
        ASSERT_TRUE(brtest::WriteFile(file, "x"));
        ASSERT_EQ(chmod(file.c_str(), c.before), 0);
        EXPECT_TRUE(SetFileAttributesA(file.c_str(), c.attributes));
        EXPECT_EQ(ModeOf(file), c.after) << std::oct << c.before << " " << c.attributes;
        EXPECT_EQ(FoundAttributes(file), c.found);
    }
}

TEST(SetFileAttributesA, FolderStaysWritable) {
    brtest::ScopedTestRoot root;
    const std::string dir = root.Path() + "/d";
    ASSERT_EQ(mkdir(dir.c_str(), 0755), 0);
    EXPECT_TRUE(SetFileAttributesA(dir.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(SetFileAttributesA(dir.c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(ModeOf(dir), 0755u);
    EXPECT_EQ(FoundAttributes(dir), FILE_ATTRIBUTE_DIRECTORY);
}

TEST(SetFileAttributesA, Failures) {
    brtest::ScopedTestRoot root;
    ASSERT_TRUE(brtest::WriteFile(root.Path() + "/plain", "x"));
    const std::string longPath = root.Path() + "/" + std::string(MAX_PATH, 'n');
    struct Case {
        std::string path;
        DWORD error;
    };
    const Case cases[] = {
        {root.Path() + "/missing", ERROR_FILE_NOT_FOUND},
        {root.Path() + "/none/missing", ERROR_PATH_NOT_FOUND},
        {root.Path() + "/plain/below", ERROR_PATH_NOT_FOUND},
        {"", ERROR_PATH_NOT_FOUND},
        {longPath, ERROR_FILENAME_EXCED_RANGE},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(SetFileAttributesA(c.path.c_str(), FILE_ATTRIBUTE_NORMAL)) << c.path;
        EXPECT_EQ(GetLastError(), c.error) << c.path;
    }
    EXPECT_FALSE(SetFileAttributesA(nullptr, FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(PathFileExistsA, FilesAndFolders) {
    brtest::ScopedTestRoot root;
    ASSERT_TRUE(brtest::WriteFile(root.Path() + "/file.exe", "x"));
    ASSERT_EQ(mkdir((root.Path() + "/dir").c_str(), 0755), 0);
    ASSERT_EQ(symlink("nowhere", (root.Path() + "/dangling").c_str()), 0);
    const std::string longPath = root.Path() + "/" + std::string(MAX_PATH, 'n');
    struct Case {
        std::string path;
        BOOL exists;
    };
    const Case cases[] = {
        {root.Path() + "/file.exe", TRUE},
        {root.Path() + "/dir", TRUE},
        {root.Path() + "/dir/", TRUE},
        {root.Path() + "/file.exe/", FALSE},
        {root.Path() + "/FILE.EXE", FALSE},
        {root.Path() + "/missing", FALSE},
        {root.Path() + "/missing/deeper", FALSE},
        {root.Path() + "/dangling", FALSE},
        {root.Path() + "/*", FALSE},  // wildcards name nothing here
        {root.Path() + "/file.ex?", FALSE},
        {"", FALSE},
        {longPath, FALSE},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PathFileExistsA(c.path.c_str()), c.exists) << c.path;
    }
    EXPECT_FALSE(PathFileExistsA(nullptr));
}

TEST(PathFileExistsA, RelativePaths) {
    brtest::ScopedTestRoot root;
    ASSERT_TRUE(brtest::WriteFile(root.Path() + "/here.txt", "x"));
    char cwd[4096];
    ASSERT_TRUE(getcwd(cwd, sizeof(cwd)));
    ASSERT_EQ(chdir(root.Path().c_str()), 0);
    BOOL bare = PathFileExistsA("here.txt");
    BOOL dotted = PathFileExistsA("./here.txt");
    BOOL missing = PathFileExistsA("gone.txt");
    ASSERT_EQ(chdir(cwd), 0);
    EXPECT_TRUE(bare);
    EXPECT_TRUE(dotted);
    EXPECT_FALSE(missing);
}

}  // namespace
