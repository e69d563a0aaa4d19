#include "process/program_names.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "test/process_test_support.h"
#include "test_root.h"

namespace {

TEST(ProgramNames, LibraryFileName) {
    const struct {
        const char* name;
        const char* file;
    } cases[] = {
        {"PlayEngine.dll", "libPlayEngine.so"},
        {"DBGHELP.DLL", "libDBGHELP.so"},
        {"Something.Dll", "libSomething.so"},
        {"PlayEngine", "libPlayEngine.so"},  // no extension means ".dll"
        {"PlayEngine.", "libPlayEngine.so"},
        {"/opt/br/PlayEngine.dll", "/opt/br/libPlayEngine.so"},
        {"a.b/Engine.dll", "a.b/libEngine.so"},
        {"libm.so.6", "libm.so.6"},  // another extension: as it is
        {"x.drv", "x.drv"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pal::LibraryFileName(c.name), c.file) << c.name;
    }
}

TEST(ProgramNames, ReportedProgramName) {
    const struct {
        const char* file;
        const char* reported;
    } cases[] = {
        {"BRDJ", "BRDJ.exe"},
        {"brmusic.exe", "brmusic.exe"},
        {"SETUP.EXE", "SETUP.EXE"},
        {"a.out", "a.out.exe"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pal::ReportedProgramName(c.file), c.reported) << c.file;
    }
}

TEST(ProgramNames, FindProgramFileFollowsTheRule) {
    const struct {
        std::vector<std::string> files;  // present in the folder
        const char* asked;
        const char* found;  // "" for none
    } cases[] = {
        {{"Svc.exe", "Svc"}, "Svc.exe", "Svc.exe"},  // X.exe wins when there is one
        {{"Svc"}, "Svc.exe", "Svc"},
        {{"Svc"}, "svc.EXE", "Svc"},  // letter case is ignored as on Windows
        {{"SVC.EXE", "svc"}, "svc.exe", "SVC.EXE"},
        {{"Svc"}, "Svc", "Svc"},
        {{"Svc.exe"}, "Svc", ""},  // a name without ".exe" is only itself
        {{"Other"}, "Svc.exe", ""},
        {{}, ".exe", ""},
    };
    for (const auto& c : cases) {
        brtest::ScopedTestRoot root;
        std::string dir = root.Path() + "/bin";
        std::filesystem::create_directories(dir);
        for (const std::string& file : c.files) {
            ASSERT_TRUE(brtest::WriteFile(dir + "/" + file, "x"));
        }
        std::string expected = *c.found ? dir + "/" + c.found : "";
        EXPECT_EQ(pal::FindProgramFile(dir + "/" + c.asked), expected) << c.asked;
    }
}

TEST(ProgramNames, FoldersAreNoPrograms) {
    brtest::ScopedTestRoot root;
    std::filesystem::create_directories(root.Path() + "/Svc.exe");
    ASSERT_TRUE(brtest::WriteFile(root.Path() + "/Svc", "x"));
    EXPECT_EQ(pal::FindProgramFile(root.Path() + "/Svc.exe"), root.Path() + "/Svc");
}

TEST(ProgramNames, SearchTakesTheFirstFolderThatHasIt) {
    brtest::ScopedTestRoot root;
    std::string a = root.Path() + "/a", b = root.Path() + "/b";
    std::filesystem::create_directories(a);
    std::filesystem::create_directories(b);
    ASSERT_TRUE(brtest::WriteFile(b + "/Tool", "x"));
    ASSERT_TRUE(brtest::WriteFile(a + "/Other", "x"));
    EXPECT_EQ(pal::SearchProgramFile("Tool.exe", {"", a, b}), b + "/Tool");
    ASSERT_TRUE(brtest::WriteFile(a + "/Tool", "x"));
    EXPECT_EQ(pal::SearchProgramFile("Tool.exe", {a, b}), a + "/Tool");
    EXPECT_EQ(pal::SearchProgramFile("None.exe", {a, b}), "");
}

}  // namespace
