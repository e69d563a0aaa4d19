// Starting another program.
#include <windows.h>

#include <cstdint>

#include "dir_and_ini.h"

bool ShellOpen(const std::string& file, const std::string& parameters, bool show) {
    if (file.empty()) {
        return false;
    }
    HINSTANCE result = ShellExecuteA(nullptr, "open", file.c_str(), parameters.c_str(), nullptr,
                                     show ? SW_SHOWNORMAL : SW_HIDE);
    return reinterpret_cast<uintptr_t>(result) > 32;
}
