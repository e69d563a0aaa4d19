// How CreateProcessA reads a Windows command line: the program token, and the rest as one text.
#pragma once

#include <string>
#include <string_view>

namespace pal {

struct CommandLineParts {
    std::string program;  // the first token, without its quotes
    std::string rest;     // everything after the token and the blanks after it, unchanged
};

// `"C:/a b/x.exe" -p  q` gives {"C:/a b/x.exe", "-p  q"}; `x` gives {"x", ""}.
CommandLineParts SplitCommandLine(std::string_view line);

}  // namespace pal
