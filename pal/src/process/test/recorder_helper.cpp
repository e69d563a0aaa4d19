// Test helper: records its arguments, current folder, show-command variable and runtime root in
// $PAL_TEST_RECORD, then exits with the code in $PAL_TEST_EXIT (0 without it).
#include <unistd.h>

#include <climits>

#include "test/helper_record.h"

int main(int argc, char** argv) {
    std::string lines = "argc=" + std::to_string(argc) + "\n";
    for (int i = 0; i < argc; ++i) {
        lines += "arg" + std::to_string(i) + "=" + argv[i] + "\n";
    }
    char cwd[PATH_MAX] = {};
    if (getcwd(cwd, sizeof cwd)) {
        lines += std::string("cwd=") + cwd + "\n";
    }
    lines += "show=" + EnvOr("PAL_SHOW_COMMAND", "none") + "\n";
    lines += "root=" + EnvOr("PAL_RUNTIME_DIR", "none") + "\n";
    WriteHelperRecord(lines);
    return std::atoi(EnvOr("PAL_TEST_EXIT", "0").c_str());
}
