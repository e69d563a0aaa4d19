// The WinMain adapter.
#include <cstdlib>
#include <string>

#include "process/spawn.h"

// Differs from Windows: the command line is rebuilt from argv (joined by single spaces), and the show command
// comes from the starter through the variable PAL_SHOW_COMMAND, which is then removed.
int PalRunWinMain(int argc, char** argv, PAL_WINMAIN_FUNCTION entry) {
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) {
            commandLine += ' ';
        }
        commandLine += argv[i];
    }
    int show = SW_SHOWDEFAULT;
    if (const char* given = std::getenv(pal::kShowCommandVariable)) {
        char* end = nullptr;
        long value = std::strtol(given, &end, 10);
        if (end != given && *end == '\0' && value >= 0 && value <= SW_SHOWDEFAULT) {
            show = static_cast<int>(value);
        }
        unsetenv(pal::kShowCommandVariable);  // it was meant for this program, not its children
    }
    return entry(GetModuleHandleA(nullptr), nullptr, commandLine.data(), show);
}
