#include "process/command_line.h"

namespace pal {
namespace {
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
}  // namespace

CommandLineParts SplitCommandLine(std::string_view line) {
    CommandLineParts parts;
    size_t i = 0;
    while (i < line.size() && IsBlank(line[i])) {
        ++i;
    }
    if (i < line.size() && line[i] == '"') {
        size_t close = line.find('"', i + 1);
        size_t end = close == std::string_view::npos ? line.size() : close;
        parts.program = std::string(line.substr(i + 1, end - i - 1));
        i = close == std::string_view::npos ? line.size() : close + 1;
    } else {
        size_t start = i;
        while (i < line.size() && !IsBlank(line[i])) {
            ++i;
        }
        parts.program = std::string(line.substr(start, i - start));
    }
    while (i < line.size() && IsBlank(line[i])) {
        ++i;
    }
    parts.rest = std::string(line.substr(i));
    return parts;
}

}  // namespace pal
