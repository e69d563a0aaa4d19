// OutputDebugStringA goes where $PAL_DEBUG_OUTPUT says, as UTF-8, and nowhere without it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "test_root.h"
#include "windows.h"

namespace {

std::string Read(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(DebugOutputTest, TheVariableSaysWhereTheTextGoes) {
    brtest::ScopedTestRoot root;
    std::string file = std::string(std::getenv("PAL_RUNTIME_DIR")) + "/debug.txt";
    const char* trace = "Index0---OldState:0---NewState:1---Flasg:0\n";

    unsetenv("PAL_DEBUG_OUTPUT");
    ::testing::internal::CaptureStderr();
    OutputDebugStringA(trace);
    setenv("PAL_DEBUG_OUTPUT", "", 1);
    OutputDebugStringA(trace);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");

    setenv("PAL_DEBUG_OUTPUT", "stderr", 1);
    ::testing::internal::CaptureStderr();
    OutputDebugStringA(PalGbk("提示\n"));
    OutputDebugStringA(nullptr);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "提示\n");

    setenv("PAL_DEBUG_OUTPUT", file.c_str(), 1);
    OutputDebugStringA(trace);
    OutputDebugStringA(trace);
    EXPECT_EQ(Read(file), std::string(trace) + trace);  // appended
    unsetenv("PAL_DEBUG_OUTPUT");
}

TEST(DebugOutputTest, InitCommonControlsExTakesARecordOfItsSize) {
    INITCOMMONCONTROLSEX good{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    INITCOMMONCONTROLSEX wrong{4, ICC_WIN95_CLASSES};
    EXPECT_EQ(sizeof(INITCOMMONCONTROLSEX), 8u);
    EXPECT_TRUE(InitCommonControlsEx(&good));
    EXPECT_FALSE(InitCommonControlsEx(&wrong));
    EXPECT_FALSE(InitCommonControlsEx(nullptr));
}

}  // namespace
