// Test helper: waits until the file argv[1] exists (so that many instances start together),
// tests and sets the updater's RunningFlag, writes "set" or "clear" to argv[2], then holds the
// flag until the file argv[3] exists.
#include <unistd.h>

#include <fstream>

#include "running_flag.h"

namespace {

void WaitFor(const char* path) {
    for (int i = 0; i < 30000 && access(path, F_OK) != 0; ++i) {
        usleep(1000);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        return 2;
    }
    WaitFor(argv[1]);
    bool wasSet = RunningFlag.TestAndSet();
    {
        std::string part = std::string(argv[2]) + ".part";
        std::ofstream(part) << (wasSet ? "set" : "clear");
        std::rename(part.c_str(), argv[2]);
    }
    WaitFor(argv[3]);
    return 0;
}
