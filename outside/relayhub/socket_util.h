// The POSIX side of the call center: its directory, the per-id lock and socket files, and the
// translation of socket errors into the library's results (the only place that does it).
#pragma once

#include <cstdint>
#include <string>

#include "pal/types.h"

namespace relayhub {

// "<dir>/<id>.sock" and "<dir>/<id>.lock".
std::string SocketPath(const std::string& dir, int32_t id);
std::string LockPath(const std::string& dir, int32_t id);

// Creates the directory with mode 0700 when missing, checks that it is a directory of this user,
// narrows its mode to 0700 and checks that every socket path in it fits a socket address.
// Returns its absolute path, or an empty text.
std::string PrepareDirectory(const char* dir);

// Takes the lock that makes an endpoint id exclusive; held until UnlockEndpoint or the death of
// the process. -1 when a live endpoint holds it or on failure.
int LockEndpoint(const std::string& path);
void UnlockEndpoint(int fd, const std::string& path);

// A non-blocking listening socket at path, replacing a stale file there; -1 on failure.
int ListenAt(const std::string& path);
// Connects to the socket at path: S_OK and *fd, or a failure result.
HRESULT ConnectTo(const std::string& path, int* fd);
// True when the process at the other end of a connected socket runs as this user.
bool PeerIsSameUser(int fd);

// The library's result for the errno of a failed socket operation.
HRESULT ResultFromErrno(int err);

}  // namespace relayhub
