#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "windows.h"

namespace {

struct Received {
    HINSTANCE instance;
    HINSTANCE previous;
    std::string commandLine;
    int show;
};
Received g_received;

int WINAPI RecordingWinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    g_received = {instance, previous, commandLine, show};
    return 21;
}

TEST(PalRunWinMain, JoinsArgumentsWithSingleSpaces) {
    const struct {
        std::vector<std::string> args;
        const char* commandLine;
    } cases[] = {
        {{"prog"}, ""},
        {{"prog", "/data/BRDJ dir/"}, "/data/BRDJ dir/"},
        {{"prog", "a", "b", "c"}, "a b c"},
        {{"prog", "", "x"}, " x"},
    };
    unsetenv("PAL_SHOW_COMMAND");
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        EXPECT_EQ(PalRunWinMain(static_cast<int>(args.size()), argv.data(), RecordingWinMain), 21);
        EXPECT_EQ(g_received.commandLine, c.commandLine);
        EXPECT_EQ(g_received.instance, GetModuleHandleA(nullptr));
        EXPECT_EQ(g_received.previous, nullptr);
        EXPECT_EQ(g_received.show, SW_SHOWDEFAULT);
    }
}

TEST(PalRunWinMain, ShowCommandFromTheStarter) {
    const struct {
        const char* variable;
        int show;
    } cases[] = {
        {"0", SW_HIDE},         {"5", SW_SHOW},         {"10", SW_SHOWDEFAULT},
        {"11", SW_SHOWDEFAULT},  // not a show command
        {"-1", SW_SHOWDEFAULT}, {"1x", SW_SHOWDEFAULT}, {"", SW_SHOWDEFAULT},
    };
    char name[] = "prog";
    char* argv[] = {name, nullptr};
    for (const auto& c : cases) {
        setenv("PAL_SHOW_COMMAND", c.variable, 1);
        PalRunWinMain(1, argv, RecordingWinMain);
        EXPECT_EQ(g_received.show, c.show) << c.variable;
        EXPECT_EQ(std::getenv("PAL_SHOW_COMMAND"), nullptr);
    }
}

}  // namespace
