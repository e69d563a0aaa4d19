// Test helper: loads the library named by its argument and records the file the layer loaded,
// the error when it loaded none, and the program's own module file name.
#include "test/helper_record.h"
#include "windows.h"

int main(int argc, char** argv) {
    std::string lines;
    char path[MAX_PATH] = {};
    HMODULE module = argc > 1 ? LoadLibraryA(argv[1]) : nullptr;
    if (module && GetModuleFileNameA(module, path, MAX_PATH)) {
        lines += std::string("module=") + path + "\n";
    } else {
        lines += "module=none\nerror=" + std::to_string(GetLastError()) + "\n";
    }
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    lines += std::string("program=") + path + "\n";
    WriteHelperRecord(lines);
    return 0;
}
