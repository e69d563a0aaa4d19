// The process's registered resource tables, by module, and the lookup of one resource.
#pragma once

#include "windows.h"

namespace pal::resource {

// The entry, or null with the last error set as FindResourceA sets it.
const PalResource* Find(HMODULE module, LPCSTR name, LPCSTR type);
// True when the entry belongs to a table that is registered now.
bool IsRegisteredEntry(const PalResource* entry);
// hModule, or the program's module for NULL.
HMODULE ModuleOrProgram(HMODULE hModule);

}  // namespace pal::resource
