#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "test_root.h"
#include "windows.h"

TEST(PalResolveRuntimeDir, FollowsTheVariablesInOrder) {
    struct Case {
        std::map<std::string, std::string> env;
        std::string expected;
    };
    const Case cases[] = {
        {{{"PAL_RUNTIME_DIR", "/r/own"}, {"XDG_RUNTIME_DIR", "/run/user/5"}}, "/r/own"},
        {{{"PAL_RUNTIME_DIR", "/r/own//"}}, "/r/own"},
        {{{"PAL_RUNTIME_DIR", ""}, {"XDG_RUNTIME_DIR", "/run/user/5"}}, "/run/user/5/pal"},
        {{{"XDG_RUNTIME_DIR", "/run/user/5"}}, "/run/user/5/pal"},
        {{}, "/tmp/pal-77"},
    };
    for (const Case& c : cases) {
        auto lookup = [&](const char* name) -> const char* {
            auto it = c.env.find(name);
            return it == c.env.end() ? nullptr : it->second.c_str();
        };
        EXPECT_EQ(PalResolveRuntimeDir(lookup, 77), c.expected);
    }
}

TEST(PalRuntimeDir, CreatesThePrivateFolder) {
    brtest::ScopedTestRoot root;
    std::string dir = root.Path() + "/fresh";
    setenv("PAL_RUNTIME_DIR", dir.c_str(), 1);
    EXPECT_EQ(PalRuntimeDir(), dir);
    struct stat st;
    ASSERT_EQ(stat(dir.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(PalRuntimeDir, EmptyWhenItCannotBeCreated) {
    brtest::ScopedTestRoot root;
    std::string file = root.Path() + "/plain";
    ASSERT_TRUE(brtest::WriteFile(file, "x"));
    setenv("PAL_RUNTIME_DIR", (file + "/below").c_str(), 1);
    EXPECT_EQ(PalRuntimeDir(), "");
    setenv("PAL_RUNTIME_DIR", file.c_str(), 1);
    EXPECT_EQ(PalRuntimeDir(), "");
}
