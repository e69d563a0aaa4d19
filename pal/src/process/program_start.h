// Finding a program by the name a Windows caller gives, and starting it: shared by
// CreateProcessA and ShellExecuteA so both follow the same name rule.
#pragma once

#include <memory>
#include <string>

#include "process/spawn.h"

namespace pal {

enum class ProgramSearch {
    kNone,  // the name is a path, taken from the current folder
    kPath,  // a bare name is looked for in the program's folder, the current folder, then PATH
};

// The program file a name denotes under the rule; ERROR_FILE_NOT_FOUND, or ERROR_PATH_NOT_FOUND
// when the name's folder does not exist. firstFolder, when not empty, is searched first.
DWORD FindProgram(const std::string& name, ProgramSearch search, std::string& file,
                  const std::string& firstFolder = std::string());

// Finds the program and starts it with the request's arguments; ERROR_SUCCESS and the child, or
// the Win32 error.
DWORD StartProgram(const std::string& name, ProgramSearch search, SpawnRequest request,
                   std::shared_ptr<Child>& child, const std::string& firstFolder = std::string());

}  // namespace pal
