// Test helper: writes count log lines "<tag> <n> <filler>" to the named log file.
#include <cstdlib>
#include <string>

#include "yl_log.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        return 2;
    }
    const std::string file = argv[1];
    const std::string tag = argv[2];
    const int count = std::atoi(argv[3]);
    const std::string filler(300, 'x');
    for (int i = 0; i < count; ++i) {
        YL_Log(file, 0, "Writer", "%s %d %s", tag.c_str(), i, filler.c_str());
    }
    return 0;
}
