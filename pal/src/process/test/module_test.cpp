#include <gtest/gtest.h>

#include "test/process_test_support.h"

namespace {

using paltest::Canonical;

const std::string kTestBin = Canonical(BR_TEST_BIN_DIR);

std::string FileName(HMODULE module) {
    char path[4096] = {};
    DWORD n = GetModuleFileNameA(module, path, sizeof path);
    return std::string(path, n);
}

TEST(GetModuleHandleA, TheProgramByNullAndByItsReportedName) {
    HMODULE program = GetModuleHandleA(nullptr);
    ASSERT_NE(program, nullptr);
    for (const char* name : {"pal_test.exe", "PAL_TEST.EXE"}) {
        EXPECT_EQ(GetModuleHandleA(name), program) << name;
    }
    EXPECT_EQ(GetModuleHandleA((kTestBin + "/pal_test.exe").c_str()), program);
    EXPECT_EQ(FileName(nullptr), kTestBin + "/pal_test.exe");
    EXPECT_EQ(FileName(program), kTestBin + "/pal_test.exe");
}

TEST(GetModuleHandleA, LinkedLibraryByFileName) {
    HMODULE libc = GetModuleHandleA("libc.so.6");
    ASSERT_NE(libc, nullptr);
    EXPECT_NE(libc, GetModuleHandleA(nullptr));
    EXPECT_TRUE(FileName(libc).ends_with("/libc.so.6")) << FileName(libc);
    EXPECT_NE(GetProcAddress(libc, "getpid"), nullptr);
}

TEST(GetModuleHandleA, MissingModules) {
    for (const char* name :
         {"PalSample.dll", "BrCoreService.exe", "pal_test", "", "/x/pal_test.exe"}) {
        SetLastError(0);
        EXPECT_EQ(GetModuleHandleA(name), nullptr) << name;
        EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND) << name;
    }
}

TEST(LoadLibraryA, FindsTheLibraryNextToTheProgram) {
    HMODULE module = LoadLibraryA("PalSample.DLL");
    ASSERT_NE(module, nullptr) << GetLastError();
    EXPECT_EQ(FileName(module), kTestBin + "/libPalSample.so");
    for (const char* name : {"PalSample.dll", "palsample.dll", "PalSample"}) {
        EXPECT_EQ(GetModuleHandleA(name), module) << name;
    }
    auto value = reinterpret_cast<int (*)()>(GetProcAddress(module, "PalSampleValue"));
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value(), 42);
    EXPECT_EQ(LoadLibraryA((kTestBin + "/PalSample.dll").c_str()), module);  // loaded once
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(GetModuleHandleA("PalSample.dll"), module);  // one reference left
    EXPECT_TRUE(FreeLibrary(module));
    SetLastError(0);
    EXPECT_EQ(GetModuleHandleA("PalSample.dll"), nullptr);  // unloaded
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
}

TEST(GetProcAddress, OnlyTheModulesOwnExports) {
    HMODULE module = LoadLibraryA("PalSample.dll");
    ASSERT_NE(module, nullptr);
    const char* missing[] = {"NoSuchExport", "malloc", "", "palsamplevalue"};
    for (const char* name : missing) {
        SetLastError(0);
        EXPECT_EQ(GetProcAddress(module, name), nullptr) << name;
        EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND) << name;
    }
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(module, reinterpret_cast<LPCSTR>(1)), nullptr);  // an ordinal
    EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
    int local = 0;
    for (HMODULE bad : {static_cast<HMODULE>(nullptr), reinterpret_cast<HMODULE>(&local),
                        reinterpret_cast<HMODULE>(reinterpret_cast<char*>(module) + 16)}) {
        SetLastError(0);
        EXPECT_EQ(GetProcAddress(bad, "PalSampleValue"), nullptr);
        EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    }
    EXPECT_TRUE(FreeLibrary(module));
}

TEST(LoadLibraryA, Failures) {
    brtest::ScopedTestRoot root;
    ASSERT_TRUE(brtest::WriteFile(root.Path() + "/libBroken.so", "not a library"));
    const struct {
        std::string name;
        DWORD error;
    } cases[] = {
        {"NoSuchLibrary.dll", ERROR_MOD_NOT_FOUND},
        {root.Path() + "/NoSuchLibrary.dll", ERROR_MOD_NOT_FOUND},
        {root.Path() + "/Broken.dll", ERROR_BAD_EXE_FORMAT},
        {"", ERROR_INVALID_PARAMETER},
    };
    for (const auto& c : cases) {
        SetLastError(0);
        EXPECT_EQ(LoadLibraryA(c.name.c_str()), nullptr) << c.name;
        EXPECT_EQ(GetLastError(), c.error) << c.name;
    }
    SetLastError(0);
    EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(FreeLibrary, ModulesItDidNotLoadStayAndUnknownOnesFail) {
    EXPECT_TRUE(FreeLibrary(GetModuleHandleA(nullptr)));
    EXPECT_TRUE(FreeLibrary(GetModuleHandleA("libc.so.6")));
    EXPECT_NE(GetModuleHandleA("libc.so.6"), nullptr);
    int local = 0;
    for (HMODULE bad : {static_cast<HMODULE>(nullptr), reinterpret_cast<HMODULE>(&local)}) {
        SetLastError(0);
        EXPECT_FALSE(FreeLibrary(bad));
        EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    }
}

TEST(GetModuleFileNameA, CutsAsWindowsDoes) {
    const std::string full = FileName(nullptr);
    const DWORD length = static_cast<DWORD>(full.size());
    const struct {
        DWORD size;
        DWORD result;
        std::string text;
        bool cut;
    } cases[] = {
        {length + 10, length, full, false},
        {length + 1, length, full, false},
        {length, length, full.substr(0, length - 1), true},
        {5, 5, full.substr(0, 4), true},
        {1, 1, "", true},
    };
    for (const auto& c : cases) {
        std::vector<char> buffer(c.size + 8, '#');
        SetLastError(0);
        EXPECT_EQ(GetModuleFileNameA(nullptr, buffer.data(), c.size), c.result) << c.size;
        EXPECT_EQ(std::string(buffer.data()), c.text) << c.size;
        EXPECT_EQ(buffer[c.size], '#') << "wrote past the buffer at size " << c.size;
        EXPECT_EQ(GetLastError(), c.cut ? ERROR_INSUFFICIENT_BUFFER : 0u) << c.size;
    }
    char none[4] = "##";
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameA(nullptr, none, 0), 0u);
    EXPECT_EQ(none[0], '#');
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    int local = 0;
    char path[MAX_PATH];
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameA(reinterpret_cast<HMODULE>(&local), path, MAX_PATH), 0u);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
}

// The search order, seen from a program in a folder of its own.
class ModuleSearchTest : public ::testing::Test {
protected:
    std::map<std::string, std::string> Run(const std::string& program, const char* library) {
        std::string record = root_.Path() + "/record.txt";
        std::remove(record.c_str());
        setenv("PAL_TEST_RECORD", record.c_str(), 1);
        PROCESS_INFORMATION info = guard_.Start(program, std::string("loader ") + library);
        EXPECT_EQ(WaitForSingleObject(info.hProcess, 10000), WAIT_OBJECT_0);
        unsetenv("PAL_TEST_RECORD");
        return paltest::ReadRecord(record);
    }

    brtest::ScopedTestRoot root_;
    paltest::ProcessGuard guard_;
};

TEST_F(ModuleSearchTest, ProgramFolderFirst) {
    std::string dir = Canonical(root_.Path()) + "/app";
    std::string program = paltest::CopyFile(paltest::Helper("module"), dir + "/Loader");
    paltest::CopyFile(kTestBin + "/libPalSample.so", dir + "/libPalSample.so", 0644);
    auto record = Run(program, "PalSample.dll");
    EXPECT_EQ(record["module"], dir + "/libPalSample.so");
    EXPECT_EQ(record["program"], dir + "/Loader.exe");
}

TEST_F(ModuleSearchTest, MissingBesideTheProgram) {
    std::string dir = root_.Path() + "/app";
    std::string program = paltest::CopyFile(paltest::Helper("module"), dir + "/Loader");
    auto record = Run(program, "PalSample.dll");
    EXPECT_EQ(record["module"], "none");
    EXPECT_EQ(record["error"], std::to_string(ERROR_MOD_NOT_FOUND));
}

}  // namespace
