#include <dlfcn.h>
#include <gtest/gtest.h>

#include "exports.h"

namespace {

// A program keeps the library only when every one of these names resolves.
TEST(SymbolEngine, ExportsEveryNameProgramsCheck) {
    const char* names[] = {"MiniDumpWriteDump",    "SymCleanup",
                           "SymEnumSymbols",       "SymSetOptions",
                           "SymInitialize",        "SymSetContext",
                           "SymGetLineFromAddr64", "SymFromAddr",
                           "StackWalk64",          "SymFunctionTableAccess64",
                           "SymGetModuleBase64",   "SymGetTypeInfo"};
    void* library = dlopen((std::string(BR_BIN_DIR) + "/libDBGHELP.so").c_str(), RTLD_NOW);
    ASSERT_NE(library, nullptr) << dlerror();
    for (const char* name : names) {
        EXPECT_NE(dlsym(library, name), nullptr) << name;
    }
    dlclose(library);
}

TEST(SymbolEngine, SessionsOptionsAndModuleBases) {
    HANDLE process = INVALID_HANDLE_VALUE;
    EXPECT_EQ(SymSetOptions(0x12), 0x12u);
    EXPECT_FALSE(SymCleanup(process)) << "no session yet";
    EXPECT_TRUE(SymInitialize(process, nullptr, TRUE));
    EXPECT_TRUE(SymCleanup(process));
    EXPECT_FALSE(SymCleanup(process));

    Dl_info self{};
    ASSERT_NE(dladdr(reinterpret_cast<void*>(&SymSetOptions), &self), 0);
    auto inLibrary = reinterpret_cast<uintptr_t>(&SymSetOptions);
    EXPECT_EQ(SymGetModuleBase64(process, inLibrary), reinterpret_cast<uintptr_t>(self.dli_fbase));
    EXPECT_EQ(SymGetModuleBase64(process, 0x10), 0u);
}

// What the engine cannot do here reports failure rather than made-up results.
TEST(SymbolEngine, UnsupportedCallsFail) {
    HANDLE process = INVALID_HANDLE_VALUE;
    auto address = reinterpret_cast<uintptr_t>(&SymSetOptions);
    char buffer[512] = {};
    DWORD displacement = 0;
    DWORD64 displacement64 = 0;
    EXPECT_EQ(SymFunctionTableAccess64(process, address), nullptr);
    EXPECT_FALSE(SymEnumSymbols(process, 0, "*", nullptr, nullptr));
    EXPECT_FALSE(SymSetContext(process, buffer, nullptr));
    EXPECT_FALSE(SymGetLineFromAddr64(process, address, &displacement, buffer));
    EXPECT_FALSE(SymFromAddr(process, address, &displacement64, buffer));
    EXPECT_FALSE(SymGetTypeInfo(process, 0, 0, 0, buffer));
    EXPECT_FALSE(
        StackWalk64(0x8664, process, nullptr, buffer, buffer, nullptr, nullptr, nullptr, nullptr));
}

}  // namespace
