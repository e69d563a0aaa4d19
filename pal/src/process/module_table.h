// The loaded objects (the program and its shared libraries) as HMODULEs: an HMODULE is the base
// address of the object's mapping, checked against the loader's own list before any use, so a
// stale or made-up value is refused instead of followed.
#pragma once

#include <link.h>

#include <string>

#include "windows.h"

namespace pal {

// The program's module.
HMODULE ProgramModule();
// The loader's record of the module, or null when hModule is no loaded object's base.
link_map* ModuleMap(HMODULE hModule);
// The loaded library whose file name matches (without regard to case; the whole path when
// libraryFile holds a '/'), or null.
HMODULE FindLoadedLibrary(const std::string& libraryFile);
// The module whose mapping holds the address, or null.
HMODULE ModuleAt(const void* address);
// The path GetModuleFileNameA reports for a module: the program under the name rule
// ("/x/BRDJ" -> "/x/BRDJ.exe"), a library by its loaded path.
std::string ModulePath(HMODULE hModule, link_map* map);

}  // namespace pal
