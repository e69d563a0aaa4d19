// Starting a program file: the common core of CreateProcessA and ShellExecuteA.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "process/child_process.h"

namespace pal {

struct SpawnRequest {
    std::string file;               // an existing program file (program_names.h found it)
    std::string argv0;              // the child's argv[0]; the file when empty
    std::vector<std::string> args;  // the arguments after argv[0]
    std::string directory;          // the child's current folder; the caller's when empty
    std::optional<std::vector<std::string>> environment;  // "name=value"; inherited when unset
    std::optional<int> showCommand;  // handed to a WinMain-style child (entry.h)
};

struct SpawnResult {
    DWORD error = ERROR_SUCCESS;  // a Win32 error code when the start failed
    std::shared_ptr<Child> child;
};

// Starts the program with posix_spawn, signals at their defaults and none blocked. A file with
// the execute bit is run as it is; one without it whose first line starts with "#!" is run
// through that interpreter (with the line's one optional argument, then the file); any other
// file fails with ERROR_BAD_EXE_FORMAT. The child is watched and reaped by the layer.
SpawnResult SpawnProgram(const SpawnRequest& request);

// The variable that carries the show command to a WinMain-style child.
inline constexpr const char* kShowCommandVariable = "PAL_SHOW_COMMAND";

}  // namespace pal
