// Not Win32: the per-user runtime root that scopes named objects, window lookups, process
// lookups by name and the call center's sockets. It is $PAL_RUNTIME_DIR when set, else
// $XDG_RUNTIME_DIR/pal, else /tmp/pal-<uid>; created with mode 0700 on first use. The root and
// every folder the layer makes in it must be private (PalPrivateFolder).
#pragma once

#include <functional>
#include <string>

// The runtime root of this process, without a trailing separator; read from the environment at
// every call, so a test can point a process at its own root. Empty when it cannot be created.
std::string PalRuntimeDir();

// Makes the folder (mode 0700) when missing and checks it: a folder, not a symbolic link, owned
// by this user; when others can reach it, it is narrowed to 0700 and checked again. False with
// errno set (EACCES for a folder of another user) when it is refused.
bool PalPrivateFolder(const std::string& path);

// The runtime root that an environment would give, without creating it. lookup(name) returns
// the variable's value or nullptr. Used to tell which root another process belongs to.
std::string PalResolveRuntimeDir(const std::function<const char*(const char*)>& lookup,
                                 unsigned uid);
