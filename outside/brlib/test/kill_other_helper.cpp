// Test helper: calls KillOtherInstance with its argument, then records that it is still alive
// and how many it ended in $PAL_TEST_RECORD.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "brlib.h"

int main(int argc, char** argv) {
    int ended = BrLib::Process::KillOtherInstance(argc > 1 ? argv[1] : "");
    bool self = BrLib::Process::CheckProcessExist(argc > 1 ? argv[1] : "");
    const char* record = std::getenv("PAL_TEST_RECORD");
    if (record) {
        std::string temp = std::string(record) + ".part";
        if (FILE* out = std::fopen(temp.c_str(), "wb")) {
            std::fprintf(out, "ended=%d\nself=%d\n", ended, self ? 1 : 0);
            std::fclose(out);
            std::rename(temp.c_str(), record);
        }
    }
    return 0;
}
