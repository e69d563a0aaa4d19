// Test helper: a WinMain-style program; records what its entry received and returns 7.
#include "test/helper_record.h"
#include "windows.h"

int WINAPI HelperWinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    std::string lines = std::string("cmdline=[") + commandLine + "]\n";
    lines += "show=" + std::to_string(show) + "\n";
    lines += std::string("instance=") +
             (instance == GetModuleHandleA(nullptr) ? "program" : "other") + "\n";
    lines += std::string("previous=") + (previous ? "set" : "null") + "\n";
    lines += "left=" + EnvOr("PAL_SHOW_COMMAND", "none") + "\n";
    WriteHelperRecord(lines);
    return 7;
}

PAL_WINMAIN(HelperWinMain)
