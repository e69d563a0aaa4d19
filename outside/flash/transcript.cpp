#include "transcript.h"

#include <cstdio>

namespace flash {

// The file is opened for each line, so that a reader outside sees every line at once and a
// file that cannot be written costs only that line.
void Transcript::Line(const std::string& line) {
    std::string whole = line + "\n";
    if (path_.empty()) {
        std::fwrite(whole.data(), 1, whole.size(), stdout);
        std::fflush(stdout);
        return;
    }
    FILE* file = std::fopen(path_.c_str(), "a");
    if (file == nullptr)
        return;
    std::fwrite(whole.data(), 1, whole.size(), file);
    std::fclose(file);
}

}  // namespace flash
