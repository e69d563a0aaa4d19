#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

#include "test_root.h"
#include "windows.h"

namespace {

// Sets or clears environment variables for one test and puts them back afterwards.
class ScopedEnv {
public:
    ~ScopedEnv() {
        for (const auto& [name, value] : saved_) {
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
        }
    }
    void Set(const std::string& name, const char* value) {
        if (!saved_.count(name)) {
            const char* old = getenv(name.c_str());
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        value ? setenv(name.c_str(), value, 1) : unsetenv(name.c_str());
    }

private:
    std::map<std::string, std::optional<std::string>> saved_;
};

bool IsFolder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

TEST(SHGetSpecialFolderPathA, FollowsTheVariablesInOrder) {
    brtest::ScopedTestRoot root;
    ScopedEnv env;
    const std::string own = root.Path() + "/own";
    const std::string xdg = root.Path() + "/xdg";
    const std::string home = root.Path() + "/home";
    const std::string ownSlashes = own + "//";
    struct Case {
        const char* common;
        const char* xdgData;
        std::string expected;
    };
    const Case cases[] = {
        {own.c_str(), xdg.c_str(), own},
        {ownSlashes.c_str(), nullptr, own},  // no trailing separator
        {"", xdg.c_str(), xdg},
        {nullptr, xdg.c_str(), xdg},
        {"relative/dir", "relative/too", home + "/.local/share"},  // relative values are ignored
        {nullptr, nullptr, home + "/.local/share"},
    };
    env.Set("HOME", home.c_str());
    for (const Case& c : cases) {
        env.Set("PAL_COMMON_APPDATA", c.common);
        env.Set("XDG_DATA_HOME", c.xdgData);
        char path[MAX_PATH];
        std::memset(path, 'z', sizeof(path));
        ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, path, CSIDL_COMMON_APPDATA, TRUE))
            << c.expected;
        EXPECT_EQ(std::string(path), c.expected);
        EXPECT_TRUE(IsFolder(c.expected)) << c.expected;  // made, with its missing parents
    }
}

TEST(SHGetSpecialFolderPathA, WithoutCreateAMissingFolderFails) {
    brtest::ScopedTestRoot root;
    ScopedEnv env;
    const std::string dir = root.Path() + "/later/data";
    env.Set("PAL_COMMON_APPDATA", dir.c_str());
    char path[MAX_PATH] = "untouched";
    EXPECT_FALSE(SHGetSpecialFolderPathA(nullptr, path, CSIDL_COMMON_APPDATA, FALSE));
    EXPECT_STREQ(path, "");
    EXPECT_FALSE(IsFolder(dir));
    EXPECT_TRUE(
        SHGetSpecialFolderPathA(nullptr, path, CSIDL_COMMON_APPDATA | CSIDL_FLAG_CREATE, FALSE));
    EXPECT_EQ(std::string(path), dir);
    EXPECT_TRUE(SHGetSpecialFolderPathA(nullptr, path, CSIDL_COMMON_APPDATA, FALSE));
    EXPECT_EQ(std::string(path), dir);
}

TEST(SHGetSpecialFolderPathA, UnavailableFolders) {
    brtest::ScopedTestRoot root;
    ScopedEnv env;
    ASSERT_TRUE(brtest::WriteFile(root.Path() + "/plain", "x"));
    const std::string underFile = root.Path() + "/plain/below";
    const std::string tooLong = root.Path() + "/" + std::string(MAX_PATH, 'l');
    for (const std::string& dir : {underFile, root.Path() + "/plain", tooLong}) {
        env.Set("PAL_COMMON_APPDATA", dir.c_str());
        char path[MAX_PATH];
        EXPECT_FALSE(SHGetSpecialFolderPathA(nullptr, path, CSIDL_COMMON_APPDATA, TRUE)) << dir;
        EXPECT_STREQ(path, "");
    }
    env.Set("PAL_COMMON_APPDATA", root.AppData().c_str());
    char path[MAX_PATH];
    EXPECT_FALSE(SHGetSpecialFolderPathA(nullptr, path, 0x001a, TRUE));  // another folder
    EXPECT_FALSE(SHGetSpecialFolderPathA(nullptr, nullptr, CSIDL_COMMON_APPDATA, TRUE));
}

}  // namespace
