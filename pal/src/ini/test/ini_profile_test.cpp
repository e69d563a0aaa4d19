#include <dirent.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "test_root.h"
#include "windows.h"

namespace {

using namespace std::string_literals;

mode_t ModeOf(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

bool Exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

std::vector<std::string> FolderNames(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") {
                names.push_back(e->d_name);
            }
        }
        closedir(d);
    }
    return names;
}

class IniTest : public ::testing::Test {
protected:
    void SetUp() override { file_ = root_.Path() + "/Config.ini"; }

    // Reads into a buffer of size bytes inside a larger one, so writes past it show.
    std::string Read(const char* section, const char* key, const char* fallback, DWORD size,
                     DWORD* returned = nullptr, const std::string* file = nullptr) {
        std::string buffer(size + 16, 'Z');
        DWORD n = GetPrivateProfileStringA(section, key, fallback, buffer.data(), size,
                                           (file ? *file : file_).c_str());
        if (returned) {
            *returned = n;
        }
        EXPECT_EQ(buffer.substr(size), std::string(16, 'Z')) << "written past the buffer";
        EXPECT_LE(n + 1, size);
        EXPECT_EQ(buffer[n], '\0');
        return buffer.substr(0, n);
    }

    BOOL Write(const char* section, const char* key, const char* value) {
        return WritePrivateProfileStringA(section, key, value, file_.c_str());
    }

    brtest::ScopedTestRoot root_;
    std::string file_;
};

TEST_F(IniTest, ReadsCutsAndFallsBack) {
    ASSERT_TRUE(brtest::WriteFile(file_,
                                  "[Update]\r\n"
                                  "Version = \"1.0.0.1\"  \r\n"
                                  "UpdateFile=\r\n"
                                  "[LogMsg]\n"
                                  "realloglevel='debug'\n"
                                  "gbk=a\xb2\xe2\xca\xd4\n"));
    struct Case {
        const char* section;
        const char* key;
        const char* fallback;
        DWORD size;
        std::string value;
        DWORD error;
    };
    const Case cases[] = {
        {"Update", "Version", "", 256, "1.0.0.1", ERROR_SUCCESS},
        {"UPDATE", "version", "", 256, "1.0.0.1", ERROR_SUCCESS},
        {"LogMsg", "realloglevel", "", 260, "debug", ERROR_SUCCESS},
        {"Update", "Version", "", 4, "1.0", ERROR_SUCCESS},  // cut to size - 1
        {"Update", "Version", "", 2, "1", ERROR_SUCCESS},
        {"Update", "Version", "", 1, "", ERROR_SUCCESS},
        {"Update", "UpdateFile", "fallback", 256, "", ERROR_SUCCESS},  // empty is a value
        {"LogMsg", "gbk", "", 256, "a\xb2\xe2\xca\xd4", ERROR_SUCCESS},
        {"LogMsg", "gbk", "", 5, "a\xb2\xe2", ERROR_SUCCESS},  // never half a character
        {"LogMsg", "gbk", "", 4, "a\xb2\xe2", ERROR_SUCCESS},
        {"LogMsg", "gbk", "", 3, "a", ERROR_SUCCESS},
        {"Update", "Missing", "fb  ", 256, "fb", ERROR_FILE_NOT_FOUND},  // trailing blanks go
        {"Update", "Missing", "  fb", 256, "  fb", ERROR_FILE_NOT_FOUND},
        {"Update", "Missing", nullptr, 256, "", ERROR_FILE_NOT_FOUND},
        {"Update", "Missing", "fallback", 3, "fa", ERROR_FILE_NOT_FOUND},
        {"Nowhere", "Version", "fb", 256, "fb", ERROR_FILE_NOT_FOUND},
    };
    for (const Case& c : cases) {
        DWORD returned = 0;
        SetLastError(0xdead);
        std::string value = Read(c.section, c.key, c.fallback, c.size, &returned);
        EXPECT_EQ(value, c.value) << c.section << "/" << c.key << " size " << c.size;
        EXPECT_EQ(returned, c.value.size());
        EXPECT_EQ(GetLastError(), c.error) << c.section << "/" << c.key;
    }
}

TEST_F(IniTest, MissingOrUnreadableFileGivesTheDefault) {
    const std::string missing = root_.Path() + "/none.ini";
    const std::string inMissingFolder = root_.Path() + "/none/x.ini";
    const std::string folder = root_.Path();
    for (const std::string* file : {&missing, &inMissingFolder, &folder}) {
        EXPECT_EQ(Read("Update", "Version", "1.0.0.0", 256, nullptr, file), "1.0.0.0") << *file;
    }
    const std::string tooLong = root_.Path() + "/" + std::string(MAX_PATH, 'n') + ".ini";
    EXPECT_EQ(Read("A", "k", "fb", 256, nullptr, &tooLong), "fb");
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(IniTest, RefusedReadArguments) {
    ASSERT_TRUE(brtest::WriteFile(file_, "[A]\nk=v\n"));
    EXPECT_EQ(Read(nullptr, "k", "fb", 16), "");
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Read("A", nullptr, "fb", 16), "");
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    char untouched[4] = "abc";
    EXPECT_EQ(GetPrivateProfileStringA("A", "k", "fb", untouched, 0, file_.c_str()), 0u);
    EXPECT_STREQ(untouched, "abc");
    EXPECT_EQ(GetPrivateProfileStringA("A", "k", "fb", nullptr, 16, file_.c_str()), 0u);
}

TEST_F(IniTest, WriteKeepsEveryOtherByte) {
    const std::string before =
        "; settings\r\n"
        "\r\n"
        "[App]\r\n"
        "Version=1.0.0.9\r\n"
        "  odd line without equals\n"
        "[Update]\r\n"
        "Version = old ; kept after\r\n"
        "UpdateFile=C:\\x\\BRDJ_1.exe\r\n"
        "\r\n"
        "[Broken\r\n"
        "\x01\x02\xff\0junk\r"
        "last=no newline"s;
    ASSERT_TRUE(brtest::WriteFile(file_, before));
    ASSERT_TRUE(Write("update", "VERSION", "1.0.1.0"));
    std::string after = brtest::ReadFile(file_);
    std::string expected = before;
    expected.replace(expected.find("old ; kept after"), 16, "1.0.1.0");
    EXPECT_EQ(after, expected);
    EXPECT_EQ(Read("Update", "Version", "", 256), "1.0.1.0");
    EXPECT_EQ(Read("Broken", "last", "", 256), "no newline");

    // A new key in an existing section goes after its last key.
    ASSERT_TRUE(Write("App", "Channel", "beta"));
    expected.insert(expected.find("  odd line"), "Channel=beta\r\n");
    EXPECT_EQ(brtest::ReadFile(file_), expected);
}

TEST_F(IniTest, WriteCreatesFileAndSection) {
    ASSERT_FALSE(Exists(file_));
    ASSERT_TRUE(Write("Update", "Version", "1.0.0.1"));
    ASSERT_TRUE(Write("Update", "UpdateFile", "/data/BRDJ/BRDJ_1.0.0.1.exe"));
    ASSERT_TRUE(Write("Other", "k", "v"));
    EXPECT_EQ(brtest::ReadFile(file_),
              "[Update]\nVersion=1.0.0.1\nUpdateFile=/data/BRDJ/BRDJ_1.0.0.1.exe\n[Other]\nk=v\n");
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
}

TEST_F(IniTest, EmptyValueStaysAndNullDeletes) {
    ASSERT_TRUE(brtest::WriteFile(file_, "[Update]\nVersion=1\nUpdateFile=f\n[App]\nVersion=2\n"));
    ASSERT_TRUE(Write("Update", "Version", ""));
    EXPECT_EQ(brtest::ReadFile(file_), "[Update]\nVersion=\nUpdateFile=f\n[App]\nVersion=2\n");
    DWORD returned = 9;
    EXPECT_EQ(Read("Update", "Version", "fallback", 256, &returned), "");
    EXPECT_EQ(returned, 0u);

    ASSERT_TRUE(Write("Update", "UpdateFile", nullptr));
    EXPECT_EQ(brtest::ReadFile(file_), "[Update]\nVersion=\n[App]\nVersion=2\n");
    EXPECT_EQ(Read("Update", "UpdateFile", "fb", 256), "fb");
    ASSERT_TRUE(Write("update", nullptr, nullptr));
    EXPECT_EQ(brtest::ReadFile(file_), "[App]\nVersion=2\n");
    ASSERT_TRUE(Write("Nowhere", nullptr, nullptr));
    ASSERT_TRUE(Write("App", "Nothing", nullptr));
    EXPECT_EQ(brtest::ReadFile(file_), "[App]\nVersion=2\n");

    // Deleting from a missing file creates nothing.
    const std::string missing = root_.Path() + "/none.ini";
    EXPECT_TRUE(WritePrivateProfileStringA("A", "k", nullptr, missing.c_str()));
    EXPECT_TRUE(WritePrivateProfileStringA("A", nullptr, nullptr, missing.c_str()));
    EXPECT_FALSE(Exists(missing));
}

TEST_F(IniTest, RefusesWritesThatWouldBreakLines) {
    const std::string before = "[A]\nk=v\n";
    ASSERT_TRUE(brtest::WriteFile(file_, before));
    struct Case {
        const char* section;
        const char* key;
        const char* value;
    };
    const Case cases[] = {
        {"A", "k", "1.0\n[App]\nVersion=9"},
        {"A", "k", "x\ry"},
        {"A", "k=x", "v"},
        {"A", "[B]", "v"},
        {"A", " ;k", "v"},
        {"A", "k\n", "v"},
        {"A]x", "k", "v"},
        {"A\nB", "k", "v"},
        {"A\n", nullptr, nullptr},
        {nullptr, "k", "v"},
    };
    for (const Case& c : cases) {
        SetLastError(0xdead);
        EXPECT_FALSE(Write(c.section, c.key, c.value)) << (c.value ? c.value : "");
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
    EXPECT_EQ(brtest::ReadFile(file_), before);
    // "]" as the second byte of a GBK character is no bracket.
    EXPECT_TRUE(Write("\x81\x5D", "k", "v"));
    EXPECT_EQ(Read("\x81\x5D", "k", "", 16), "v");
    // All three NULL asks for a flush, which reports FALSE.
    EXPECT_FALSE(WritePrivateProfileStringA(nullptr, nullptr, nullptr, file_.c_str()));
}

TEST_F(IniTest, WriteKeepsPermissionsAndFollowsLinks) {
    ASSERT_TRUE(brtest::WriteFile(file_, "[A]\nk=1\n"));
    ASSERT_EQ(chmod(file_.c_str(), 0640), 0);
    ASSERT_TRUE(Write("A", "k", "2"));
    EXPECT_EQ(ModeOf(file_), 0640u);

    mode_t old = umask(022);
    const std::string fresh = root_.Path() + "/fresh.ini";
    EXPECT_TRUE(WritePrivateProfileStringA("A", "k", "v", fresh.c_str()));
    umask(old);
    EXPECT_EQ(ModeOf(fresh), 0644u);

    const std::string link = root_.Path() + "/link.ini";
    ASSERT_EQ(symlink(file_.c_str(), link.c_str()), 0);
    ASSERT_TRUE(WritePrivateProfileStringA("A", "k", "3", link.c_str()));
    struct stat st;
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(brtest::ReadFile(file_), "[A]\nk=3\n");
}

TEST_F(IniTest, FailedWritesLeaveTheFileAsItWas) {
    const std::string before = "[A]\nk=1\n";
    ASSERT_TRUE(brtest::WriteFile(file_, before));
    ASSERT_EQ(chmod(file_.c_str(), 0444), 0);
    EXPECT_FALSE(Write("A", "k", "2"));  // the READONLY attribute, for everyone
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    ASSERT_EQ(chmod(file_.c_str(), 0644), 0);

    const std::string dir = root_.Path() + "/dir.ini";
    ASSERT_EQ(mkdir(dir.c_str(), 0755), 0);
    EXPECT_FALSE(WritePrivateProfileStringA("A", "k", "v", dir.c_str()));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);

    const std::string noFolder = root_.Path() + "/none/x.ini";
    EXPECT_FALSE(WritePrivateProfileStringA("A", "k", "v", noFolder.c_str()));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);

    const std::string tooLong = root_.Path() + "/" + std::string(MAX_PATH, 'n') + ".ini";
    EXPECT_FALSE(WritePrivateProfileStringA("A", "k", "v", tooLong.c_str()));
    EXPECT_EQ(GetLastError(), ERROR_FILENAME_EXCED_RANGE);

    // A disk that fills up while the new file is written: the old file stays, nothing is left.
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {before.size() + 64, before.size() + 64};
        setrlimit(RLIMIT_FSIZE, &limit);
        BOOL ok = Write("A", "k", std::string(4096, 'v').c_str());
        _exit(ok ? 1 : GetLastError() == ERROR_DISK_FULL ? 0 : 2);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(brtest::ReadFile(file_), before);
    for (const std::string& name : FolderNames(root_.Path())) {
        EXPECT_EQ(name.find(".new-"), std::string::npos) << name;
    }
}

TEST_F(IniTest, ReadOnlyFolderRefusesTheRename) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "the superuser writes into read-only folders";
    }
    const std::string dir = root_.Path() + "/locked";
    ASSERT_EQ(mkdir(dir.c_str(), 0755), 0);
    const std::string file = dir + "/Config.ini";
    ASSERT_TRUE(brtest::WriteFile(file, "[A]\nk=1\n"));
    ASSERT_EQ(chmod(dir.c_str(), 0555), 0);
    EXPECT_FALSE(WritePrivateProfileStringA("A", "k", "2", file.c_str()));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    chmod(dir.c_str(), 0755);
    EXPECT_EQ(brtest::ReadFile(file), "[A]\nk=1\n");
}

TEST_F(IniTest, LeftoversOfDeadWritersAreRemoved) {
    ASSERT_TRUE(brtest::WriteFile(file_, "[A]\nk=1\n"));
    const std::string leftover = root_.Path() + "/.Config.ini.new-99999-3";
    const std::string unrelated = root_.Path() + "/.Other.ini.new-99999-3";
    ASSERT_TRUE(brtest::WriteFile(leftover, "[A]\nk=half"));
    ASSERT_TRUE(brtest::WriteFile(unrelated, "x"));
    ASSERT_TRUE(Write("A", "k", "2"));
    EXPECT_FALSE(Exists(leftover));
    EXPECT_TRUE(Exists(unrelated));
}

TEST_F(IniTest, BareNameLivesInTheWindowsDirectory) {
    ASSERT_TRUE(WritePrivateProfileStringA("Update", "Version", "1", "Config.ini"));
    EXPECT_EQ(brtest::ReadFile(root_.WindowsDir() + "/Config.ini"), "[Update]\nVersion=1\n");
    char value[16];
    EXPECT_EQ(GetPrivateProfileStringA("Update", "Version", "", value, 16, "Config.ini"), 1u);
    EXPECT_STREQ(value, "1");
    ASSERT_TRUE(WritePrivateProfileStringA("S", "k", "w", nullptr));
    EXPECT_EQ(brtest::ReadFile(root_.WindowsDir() + "/win.ini"), "[S]\nk=w\n");

    // Without the variable: "windows" under the runtime root, made on the first write.
    unsetenv("PAL_WINDOWS_DIR");
    EXPECT_EQ(GetPrivateProfileStringA("Update", "Version", "none", value, 16, "Config.ini"), 4u);
    EXPECT_FALSE(Exists(root_.Runtime() + "/windows"));
    ASSERT_TRUE(WritePrivateProfileStringA("Update", "Version", "2", "Config.ini"));
    EXPECT_EQ(brtest::ReadFile(root_.Runtime() + "/windows/Config.ini"), "[Update]\nVersion=2\n");

    // A Windows directory that makes the path too long refuses the name.
    const std::string deep = root_.Path() + "/" + std::string(MAX_PATH - 20, 'w');
    setenv("PAL_WINDOWS_DIR", deep.c_str(), 1);
    EXPECT_FALSE(WritePrivateProfileStringA("A", "k", "v", "Config.ini"));
    EXPECT_EQ(GetLastError(), ERROR_FILENAME_EXCED_RANGE);
}

TEST_F(IniTest, RelativePathsStayInTheCurrentFolder) {
    char cwd[4096];
    ASSERT_TRUE(getcwd(cwd, sizeof(cwd)));
    ASSERT_EQ(chdir(root_.Path().c_str()), 0);
    BOOL ok = WritePrivateProfileStringA("A", "k", "here", "./rel.ini");
    ASSERT_EQ(chdir(cwd), 0);
    EXPECT_TRUE(ok);
    EXPECT_EQ(brtest::ReadFile(root_.Path() + "/rel.ini"), "[A]\nk=here\n");
}

}  // namespace
