// Not Win32: the per-user runtime root that scopes named objects, window lookups, process
// lookups by name and the call center's sockets. It is $PAL_RUNTIME_DIR when set, else
// $XDG_RUNTIME_DIR/pal, else /tmp/pal-<uid>; created with mode 0700 on first use.
#pragma once

#include <functional>
#include <string>

// The runtime root of this process, without a trailing separator; read from the environment at
// every call, so a test can point a process at its own root. Empty when it cannot be created.
std::string PalRuntimeDir();

// The runtime root that an environment would give, without creating it. lookup(name) returns
// the variable's value or nullptr. Used to tell which root another process belongs to.
std::string PalResolveRuntimeDir(const std::function<const char*(const char*)>& lookup,
                                 unsigned uid);
