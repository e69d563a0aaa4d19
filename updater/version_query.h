// Asking the version service which installer version is current.
#pragma once

#include <string>

#include "windows.h"

// The installer version the service gave; empty until QueryServerVersion finds one.
extern std::string g_strServerVersion;

// The request the updater posts, exactly.
extern const char* const kVersionRequestBody;

// Asks the version service named by the installation's configuration (VersionServiceUrl), within
// its time limit (VersionQueryLimitMs).
bool QueryServerVersion();

// Posts the request to url through the HTTP library and reads the reply. True when the request
// was sent and a non-empty reply came back, whatever it says; g_strServerVersion then holds the
// "pack" entry's version, or stays as it was when the reply has none (an exception while reading
// it empties it). The request is released and every reply buffer freed, on every path.
bool QueryServerVersionAt(const std::string& url);

// QueryServerVersionAt on a thread of its own, waited for at most limitMs: a service that
// trickles its reply, each byte inside the library's stall limit, cannot keep the updater (and
// its running flag) alive for good. Past the limit the query counts as failed: false, and
// g_strServerVersion stays as it was; the asking thread is left to end with the process.
bool QueryServerVersionWithin(const std::string& url, DWORD limitMs);
