// Test helper: writes profile keys into one file.
//   keys  FILE SECTION PREFIX COUNT  writes PREFIX0=0 ... and exits 0 when every write succeeded
//   churn FILE SECTION KEY           writes KEY with two long values in turn until it is killed
#include <cstdlib>
#include <string>

#include "windows.h"

int main(int argc, char** argv) {
    if (argc < 5) {
        return 2;
    }
    const std::string mode = argv[1];
    const char* file = argv[2];
    const char* section = argv[3];
    if (mode == "keys" && argc == 6) {
        const int count = std::atoi(argv[5]);
        for (int i = 0; i < count; ++i) {
            std::string key = argv[4] + std::to_string(i);
            if (!WritePrivateProfileStringA(section, key.c_str(), std::to_string(i).c_str(),
                                            file)) {
                return 1;
            }
        }
        return 0;
    }
    if (mode == "churn") {
        const std::string values[] = {std::string(1000, 'a'), std::string(1000, 'b')};
        for (unsigned n = 0;; ++n) {
            WritePrivateProfileStringA(section, argv[4], values[n % 2].c_str(), file);
        }
    }
    return 2;
}
