#include "process/command_line.h"

#include <gtest/gtest.h>

TEST(SplitCommandLine, ProgramTokenAndTheRestUnchanged) {
    const struct {
        const char* line;
        const char* program;
        const char* rest;
    } cases[] = {
        {"prog", "prog", ""},
        {"prog a b", "prog", "a b"},
        {"prog   a  b  ", "prog", "a  b  "},
        {"  prog\ta", "prog", "a"},
        {"\"/x y/prog.exe\" -p \"q r\"", "/x y/prog.exe", "-p \"q r\""},
        {"\"/x y/prog.exe\"", "/x y/prog.exe", ""},
        {"\"unclosed quote", "unclosed quote", ""},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        pal::CommandLineParts parts = pal::SplitCommandLine(c.line);
        EXPECT_EQ(parts.program, c.program) << c.line;
        EXPECT_EQ(parts.rest, c.rest) << c.line;
    }
}
