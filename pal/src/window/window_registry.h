// The runtime root's registry of top-level windows (for FindWindowA, and for posting to a window
// of another process) and the processes' inboxes for such posts:
//
//     <root>/hwnd/<handle>       one record per window (window_entry.h), written whole (a new
//                                file renamed into place), removed when the window goes
//     <root>/post/<pid>-<start>  the datagram socket of a process that owns such windows
//
// A record whose process has ended (by its id and start time) is left out of every lookup and
// removed, with that process's inbox. Only this user can reach the root (mode 0700).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "window/window_entry.h"

namespace pal {

std::string InboxFolder(const std::string& root);
std::string InboxName(pid_t pid, unsigned long long processStart);

// ERROR_SUCCESS, or the error that kept the record from being written.
DWORD WriteWindowEntry(const std::string& root, const WindowEntry& entry);
void RemoveWindowEntry(const std::string& root, uint64_t hwnd);
// The records of windows whose processes run.
std::vector<WindowEntry> LiveWindowEntries(const std::string& root);
std::optional<WindowEntry> LiveWindowEntry(const std::string& root, uint64_t hwnd);
// The record of a window of another live process of this process's runtime root.
std::optional<WindowEntry> FindForeignWindow(HWND hwnd);

}  // namespace pal
