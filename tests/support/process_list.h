// The processes of the test's runtime root, as the platform layer's snapshot reports them, and
// ending one of them.
#pragma once

#include <string>
#include <vector>

#include "windows.h"

namespace brtest {

// Every process of the runtime root (id and reported name, "X.exe" for a program X), by
// ascending id.
std::vector<PROCESSENTRY32> RootProcesses();
// The ids of those whose reported name is exactly `name`.
std::vector<DWORD> ProcessesNamed(const std::string& name);
// Ends the process, waits up to 5 s for it and reaps it when it is a child of this one; true
// when it ended within that time.
bool KillProcess(DWORD pid);
// Ends every process of the runtime root but this one.
void KillOtherRootProcesses();

}  // namespace brtest
