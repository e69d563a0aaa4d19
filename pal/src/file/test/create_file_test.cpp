#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "test_root.h"
#include "windows.h"

namespace {

class CreateFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = root_.Path();
        ASSERT_TRUE(brtest::WriteFile(dir_ + "/old.dmp", "old contents"));
    }

    HANDLE Open(const std::string& path, DWORD access, DWORD share, DWORD disposition,
                DWORD flags = FILE_ATTRIBUTE_NORMAL) {
        return CreateFileA(path.c_str(), access, share, nullptr, disposition, flags, nullptr);
    }

    brtest::ScopedTestRoot root_;
    std::string dir_;
};

TEST_F(CreateFileTest, Dispositions) {
    struct Case {
        const char* name;
        DWORD disposition;
        bool opens;
        DWORD error;           // the last error after the call
        const char* contents;  // the file afterwards, nullptr for no file
    };
    const Case cases[] = {
        {"old.dmp", CREATE_ALWAYS, true, ERROR_ALREADY_EXISTS, ""},
        {"new.dmp", CREATE_ALWAYS, true, ERROR_SUCCESS, ""},
        {"old.dmp", CREATE_NEW, false, ERROR_FILE_EXISTS, "old contents"},
        {"new.dmp", CREATE_NEW, true, ERROR_SUCCESS, ""},
        {"old.dmp", OPEN_EXISTING, true, ERROR_SUCCESS, "old contents"},
        {"new.dmp", OPEN_EXISTING, false, ERROR_FILE_NOT_FOUND, nullptr},
        {"old.dmp", OPEN_ALWAYS, true, ERROR_ALREADY_EXISTS, "old contents"},
        {"new.dmp", OPEN_ALWAYS, true, ERROR_SUCCESS, ""},
        {"old.dmp", TRUNCATE_EXISTING, true, ERROR_SUCCESS, ""},
        {"new.dmp", TRUNCATE_EXISTING, false, ERROR_FILE_NOT_FOUND, nullptr},
        {"old.dmp", 0, false, ERROR_INVALID_PARAMETER, "old contents"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(brtest::WriteFile(dir_ + "/old.dmp", "old contents"));
        unlink((dir_ + "/new.dmp").c_str());
        SetLastError(0xdead);
        HANDLE file = Open(dir_ + "/" + c.name, GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, c.disposition);
        DWORD error = GetLastError();
        std::string what = std::string(c.name) + " " + std::to_string(c.disposition);
        EXPECT_EQ(file != INVALID_HANDLE_VALUE, c.opens) << what;
        EXPECT_EQ(error, c.error) << what;
        if (file != INVALID_HANDLE_VALUE) {
            EXPECT_TRUE(CloseHandle(file));
        }
        struct stat st;
        bool exists = stat((dir_ + "/" + c.name).c_str(), &st) == 0;
        EXPECT_EQ(exists, c.contents != nullptr) << what;
        if (c.contents) {
            EXPECT_EQ(brtest::ReadFile(dir_ + "/" + c.name), c.contents) << what;
        }
    }
}

TEST_F(CreateFileTest, WritesTheWholeBufferAtThePosition) {
    HANDLE file = Open(dir_ + "/dump.dmp", GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    std::string big(1 << 20, 'm');
    big[12345] = '\0';
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, "MDMP", 4, &written, nullptr));
    EXPECT_EQ(written, 4u);
    EXPECT_TRUE(WriteFile(file, big.data(), static_cast<DWORD>(big.size()), &written, nullptr));
    EXPECT_EQ(written, big.size());
    EXPECT_TRUE(WriteFile(file, nullptr, 0, &written, nullptr));
    EXPECT_EQ(written, 0u);
    EXPECT_TRUE(WriteFile(file, "!", 1, nullptr, nullptr));
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(brtest::ReadFile(dir_ + "/dump.dmp"), "MDMP" + big + "!");
}

TEST_F(CreateFileTest, WriteFailures) {
    HANDLE reader = Open(dir_ + "/old.dmp", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    DWORD written = 7;
    EXPECT_FALSE(WriteFile(reader, "x", 1, &written, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(written, 0u);
    char overlapped[32] = {};
    HANDLE writer = Open(dir_ + "/w.dmp", GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(WriteFile(writer, "x", 1, &written, overlapped));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(WriteFile(writer, nullptr, 1, &written, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_TRUE(CloseHandle(writer));
    EXPECT_TRUE(CloseHandle(reader));
    EXPECT_FALSE(WriteFile(writer, "x", 1, &written, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);

    // A search handle is no file.
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((dir_ + "/*").c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(WriteFile(find, "x", 1, &written, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    FindClose(find);
}

TEST_F(CreateFileTest, OpenFailures) {
    ASSERT_EQ(mkdir((dir_ + "/folder").c_str(), 0755), 0);
    ASSERT_TRUE(brtest::WriteFile(dir_ + "/locked.dmp", "keep"));
    ASSERT_EQ(chmod((dir_ + "/locked.dmp").c_str(), 0444), 0);
    const std::string longPath = dir_ + "/" + std::string(MAX_PATH, 'n');
    struct Case {
        std::string path;
        DWORD access;
        DWORD disposition;
        DWORD error;
    };
    const Case cases[] = {
        {dir_ + "/missing/x.dmp", GENERIC_WRITE, CREATE_ALWAYS, ERROR_PATH_NOT_FOUND},
        {dir_ + "/missing/x.dmp", GENERIC_READ, OPEN_EXISTING, ERROR_PATH_NOT_FOUND},
        {dir_ + "/old.dmp/x.dmp", GENERIC_WRITE, CREATE_ALWAYS, ERROR_PATH_NOT_FOUND},
        {dir_ + "/folder", GENERIC_WRITE, CREATE_ALWAYS, ERROR_ACCESS_DENIED},
        {dir_ + "/folder", GENERIC_READ, OPEN_EXISTING, ERROR_ACCESS_DENIED},
        // The READONLY attribute holds for everyone, the superuser too.
        {dir_ + "/locked.dmp", GENERIC_WRITE, CREATE_ALWAYS, ERROR_ACCESS_DENIED},
        {dir_ + "/locked.dmp", GENERIC_WRITE, OPEN_EXISTING, ERROR_ACCESS_DENIED},
        {dir_ + "/locked.dmp", GENERIC_READ, TRUNCATE_EXISTING, ERROR_INVALID_PARAMETER},
        {dir_ + "/x*.dmp", GENERIC_WRITE, CREATE_ALWAYS, ERROR_INVALID_NAME},
        {"", GENERIC_WRITE, CREATE_ALWAYS, ERROR_PATH_NOT_FOUND},
        {longPath, GENERIC_WRITE, CREATE_ALWAYS, ERROR_FILENAME_EXCED_RANGE},
    };
    for (const Case& c : cases) {
        SetLastError(0xdead);
        EXPECT_EQ(Open(c.path, c.access, FILE_SHARE_READ, c.disposition), INVALID_HANDLE_VALUE)
            << c.path;
        EXPECT_EQ(GetLastError(), c.error) << c.path << " " << c.disposition;
    }
    EXPECT_EQ(brtest::ReadFile(dir_ + "/locked.dmp"), "keep");
    HANDLE reader = Open(dir_ + "/locked.dmp", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    EXPECT_NE(reader, INVALID_HANDLE_VALUE);
    CloseHandle(reader);
    EXPECT_EQ(CreateFileA(nullptr, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(CreateFileTest, ReadOnlyAttributeOnCreation) {
    HANDLE file = Open(dir_ + "/ro.dmp", GENERIC_WRITE, 0, CREATE_NEW, FILE_ATTRIBUTE_READONLY);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(WriteFile(file, "ab", 2, nullptr, nullptr));  // the creating handle still writes
    CloseHandle(file);
    EXPECT_EQ(brtest::ReadFile(dir_ + "/ro.dmp"), "ab");
    EXPECT_EQ(Open(dir_ + "/ro.dmp", GENERIC_WRITE, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

// Share modes among the handles of this process: a second open must be allowed by the share
// mode of every open handle, and must itself allow what they do.
TEST_F(CreateFileTest, ShareModes) {
    const DWORD R = GENERIC_READ, W = GENERIC_WRITE, RW = GENERIC_READ | GENERIC_WRITE;
    const DWORD SR = FILE_SHARE_READ, SW = FILE_SHARE_WRITE, SRW = SR | SW;
    struct Case {
        DWORD firstAccess, firstShare, secondAccess, secondShare;
        bool secondOpens;
    };
    const Case cases[] = {
        {RW, SRW, RW, SRW, true},  // the crash handler's way: both share everything
        {RW, 0, R, SRW, false},    // the first shares nothing
        {W, SR, R, SRW, true},
        {W, SR, W, SRW, false},  // the first does not share writing
        {R, SRW, W, SR, true},
        {W, SRW, R, SR, false},  // the second would not share the first's writing
        {R, SR, R, SR, true},
    };
    for (const Case& c : cases) {
        HANDLE first = Open(dir_ + "/old.dmp", c.firstAccess, c.firstShare, OPEN_EXISTING);
        ASSERT_NE(first, INVALID_HANDLE_VALUE);
        HANDLE second = Open(dir_ + "/old.dmp", c.secondAccess, c.secondShare, OPEN_EXISTING);
        EXPECT_EQ(second != INVALID_HANDLE_VALUE, c.secondOpens)
            << c.firstAccess << "/" << c.firstShare << " then " << c.secondAccess << "/"
            << c.secondShare;
        if (second == INVALID_HANDLE_VALUE) {
            EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
        } else {
            CloseHandle(second);
        }
        CloseHandle(first);
        // Closing the first releases the file.
        HANDLE again = Open(dir_ + "/old.dmp", RW, 0, OPEN_EXISTING);
        EXPECT_NE(again, INVALID_HANDLE_VALUE);
        CloseHandle(again);
    }
    // A refused CREATE_ALWAYS leaves the contents alone.
    HANDLE holder = Open(dir_ + "/old.dmp", R, 0, OPEN_EXISTING);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Open(dir_ + "/old.dmp", W, SRW, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    CloseHandle(holder);
    EXPECT_EQ(brtest::ReadFile(dir_ + "/old.dmp"), "old contents");
}

}  // namespace
