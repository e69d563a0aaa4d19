#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "test_root.h"
#include "windows.h"

namespace {

// A folder with files of mixed case, a hidden file, a read-only file, a sub-folder and a GBK name.
class FindFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = root_.Path() + "/data";
        ASSERT_EQ(mkdir(dir_.c_str(), 0755), 0);
        ASSERT_EQ(mkdir((dir_ + "/Sub").c_str(), 0755), 0);
        ASSERT_TRUE(brtest::WriteFile(dir_ + "/Alpha.txt", "12345"));
        ASSERT_TRUE(brtest::WriteFile(dir_ + "/beta.TXT", ""));
        ASSERT_TRUE(brtest::WriteFile(dir_ + "/gamma", "g"));
        ASSERT_TRUE(brtest::WriteFile(dir_ + "/.hidden", "h"));
        ASSERT_TRUE(brtest::WriteFile(dir_ + "/locked.ini", "l"));
        ASSERT_EQ(chmod((dir_ + "/locked.ini").c_str(), 0444), 0);
        ASSERT_TRUE(brtest::WriteFile(dir_ + "/\xb2\xe2\xca\xd4.dat", "gbk"));
    }

    // All names a search finds, or the error it fails with.
    struct Result {
        std::set<std::string> names;
        DWORD error = ERROR_SUCCESS;
    };
    static Result Find(const std::string& path) {
        Result result;
        WIN32_FIND_DATAA data;
        SetLastError(0xdead);
        HANDLE handle = FindFirstFileA(path.c_str(), &data);
        if (handle == INVALID_HANDLE_VALUE) {
            result.error = GetLastError();
            return result;
        }
        do {
            result.names.insert(data.cFileName);
        } while (FindNextFileA(handle, &data));
        EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
        EXPECT_TRUE(FindClose(handle));
        return result;
    }

    brtest::ScopedTestRoot root_;
    std::string dir_;
};

TEST_F(FindFileTest, MatchesAndFailures) {
    using Names = std::set<std::string>;
    struct Case {
        std::string path;  // below the folder
        Names names;
        DWORD error;
    };
    const Names all = {".",          "..",  "Alpha.txt",           "beta.TXT", "gamma", ".hidden",
                       "locked.ini", "Sub", "\xb2\xe2\xca\xd4.dat"};
    const Case cases[] = {
        {"/*", all, ERROR_SUCCESS},
        {"/*.*", all, ERROR_SUCCESS},
        {"/*.txt", {"Alpha.txt", "beta.TXT"}, ERROR_SUCCESS},
        {"/ALPHA.*", {"Alpha.txt"}, ERROR_SUCCESS},
        {"/gamm?", {"gamma"}, ERROR_SUCCESS},
        {"/gamma.*", {"gamma"}, ERROR_SUCCESS},
        {"/s*", {"Sub"}, ERROR_SUCCESS},
        {"/\xb2\xe2*", {"\xb2\xe2\xca\xd4.dat"}, ERROR_SUCCESS},
        {"/??.dat", {"\xb2\xe2\xca\xd4.dat"}, ERROR_SUCCESS},
        {"/Alpha.txt", {"Alpha.txt"}, ERROR_SUCCESS},
        {"/Sub", {"Sub"}, ERROR_SUCCESS},
        {"//Sub", {"Sub"}, ERROR_SUCCESS},
        {"/*.none", {}, ERROR_FILE_NOT_FOUND},
        {"/missing", {}, ERROR_FILE_NOT_FOUND},
        {"/alpha.txt", {}, ERROR_FILE_NOT_FOUND},  // a plain name keeps its case
        {"/Sub/", {}, ERROR_FILE_NOT_FOUND},       // a trailing separator names no entry
        {"/", {}, ERROR_FILE_NOT_FOUND},
        {"/missing/x", {}, ERROR_PATH_NOT_FOUND},
        {"/missing/*", {}, ERROR_PATH_NOT_FOUND},
        {"/missing/", {}, ERROR_FILE_NOT_FOUND},
        {"/nothere/missing/", {}, ERROR_PATH_NOT_FOUND},
        {"/gamma/x", {}, ERROR_PATH_NOT_FOUND},
        {"/gamma/*", {}, ERROR_PATH_NOT_FOUND},
        {"/S*/x", {}, ERROR_INVALID_NAME},
    };
    for (const Case& c : cases) {
        Result result = Find(dir_ + c.path);
        EXPECT_EQ(result.error, c.error) << c.path;
        EXPECT_EQ(result.names, c.names) << c.path;
    }
}

TEST_F(FindFileTest, RelativeAndRootPaths) {
    char cwd[4096];
    ASSERT_TRUE(getcwd(cwd, sizeof(cwd)));
    ASSERT_EQ(chdir(dir_.c_str()), 0);
    Result bare = Find("gamma");
    Result pattern = Find("*.TXT");
    ASSERT_EQ(chdir(cwd), 0);
    EXPECT_EQ(bare.names, std::set<std::string>{"gamma"});
    EXPECT_EQ(pattern.names, (std::set<std::string>{"Alpha.txt", "beta.TXT"}));
    EXPECT_TRUE(Find("/*").names.count("tmp"));
}

TEST_F(FindFileTest, ReportsAttributesAndSize) {
    struct Case {
        std::string name;
        DWORD attributes;
        DWORD size;
    };
    const Case cases[] = {
        {"Alpha.txt", FILE_ATTRIBUTE_NORMAL, 5},
        {"Sub", FILE_ATTRIBUTE_DIRECTORY, 0},
        {".hidden", FILE_ATTRIBUTE_HIDDEN, 1},
        {"locked.ini", FILE_ATTRIBUTE_READONLY, 1},
    };
    for (const Case& c : cases) {
        WIN32_FIND_DATAA data;
        HANDLE handle = FindFirstFileA((dir_ + "/" + c.name).c_str(), &data);
        ASSERT_NE(handle, INVALID_HANDLE_VALUE) << c.name;
        EXPECT_STREQ(data.cFileName, c.name.c_str());
        EXPECT_EQ(data.dwFileAttributes, c.attributes) << c.name;
        EXPECT_EQ(data.nFileSizeLow, c.size) << c.name;
        EXPECT_EQ(data.nFileSizeHigh, 0u);
        // A write time of this century, in 100 ns steps since 1601.
        uint64_t written = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                           data.ftLastWriteTime.dwLowDateTime;
        EXPECT_GT(written, 125911584000000000ull) << c.name;  // 2000-01-01
        FindClose(handle);
    }
}

TEST_F(FindFileTest, DotEntriesComeFirstThenByName) {
    WIN32_FIND_DATAA data;
    HANDLE handle = FindFirstFileA((dir_ + "/*").c_str(), &data);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    std::vector<std::string> names;
    do {
        names.push_back(data.cFileName);
    } while (FindNextFileA(handle, &data));
    FindClose(handle);
    ASSERT_GE(names.size(), 3u);
    EXPECT_EQ(names[0], ".");
    EXPECT_EQ(names[1], "..");
    EXPECT_TRUE(std::is_sorted(names.begin() + 2, names.end()));
    // Stepping past the end keeps failing.
    EXPECT_FALSE(FindNextFileA(handle, &data));
}

TEST_F(FindFileTest, RefusesBadArguments) {
    WIN32_FIND_DATAA data;
    struct Case {
        const char* path;
        DWORD error;
    };
    const std::string longPath = dir_ + "/" + std::string(MAX_PATH, 'x');
    const Case cases[] = {
        {nullptr, ERROR_INVALID_PARAMETER},
        {"", ERROR_PATH_NOT_FOUND},
        {longPath.c_str(), ERROR_FILENAME_EXCED_RANGE},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindFirstFileA(c.path, &data), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), c.error) << (c.path ? c.path : "NULL");
    }
    EXPECT_EQ(FindFirstFileA((dir_ + "/*").c_str(), nullptr), INVALID_HANDLE_VALUE);
}

TEST_F(FindFileTest, HandlesAreCheckedAndClosedOnce) {
    WIN32_FIND_DATAA data;
    HANDLE handle = FindFirstFileA((dir_ + "/*").c_str(), &data);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(FindClose(handle));
    EXPECT_FALSE(FindClose(handle));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(FindNextFileA(handle, &data));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(FindClose(INVALID_HANDLE_VALUE));

    // A handle of another kind is not a search.
    HANDLE file = CreateFileA((dir_ + "/gamma").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(FindClose(file));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(FindNextFileA(file, &data));
    EXPECT_TRUE(CloseHandle(file));
}

}  // namespace
