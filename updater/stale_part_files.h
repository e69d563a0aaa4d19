// The part files a killed updater leaves in the data folder.
#pragma once

#include <string>

// True for a name the HTTP library gives an installer while it downloads it:
// "BRDJ_<version>.exe.<pid>-<n>.part", version a version text, pid and n decimal numbers; pid
// then holds the downloading process's id.
bool IsInstallerPartName(const std::string& name, unsigned long& pid);

// Removes from dataDir (ending in a separator) every regular file with such a name whose process
// has gone. A process that ends normally removes its own; only a killed one leaves them, and
// nothing else ever would. Files of any other name, and those of a process still running
// (or of another user's), stay.
void RemoveStalePartFiles(const std::string& dataDir);
