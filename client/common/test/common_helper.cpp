// Test helper: a WinMain-style program that records what it received and where it runs, as
// "key=value" lines in the file named by $BR_COMMON_RECORD (a whole file, renamed into place).
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "dir_and_ini.h"
#include "windows.h"

int WINAPI HelperWinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int show) {
    const char* record = std::getenv("BR_COMMON_RECORD");
    if (!record || !*record) {
        return 1;
    }
    std::string lines = std::string("cmdline=[") + commandLine + "]\n";
    lines += "show=" + std::to_string(show) + "\n";
    lines += "exe_dir=" + GetExeDir() + "\n";
    lines += "pid=" + std::to_string(getpid()) + "\n";
    std::string temp = std::string(record) + ".part";
    FILE* out = std::fopen(temp.c_str(), "wb");
    if (!out) {
        return 1;
    }
    std::fwrite(lines.data(), 1, lines.size(), out);
    std::fclose(out);
    return std::rename(temp.c_str(), record) == 0 ? 0 : 1;
}

PAL_WINMAIN(HelperWinMain)
