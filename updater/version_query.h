// Asking the version service which installer version is current.
#pragma once

#include <string>

// The installer version the service gave; empty until QueryServerVersion finds one.
extern std::string g_strServerVersion;

// The request the updater posts, exactly.
extern const char* const kVersionRequestBody;

// Asks the version service named by the installation's configuration (VersionServiceUrl).
bool QueryServerVersion();

// Posts the request to url through the HTTP library and reads the reply. True when the request
// was sent and a non-empty reply came back, whatever it says; g_strServerVersion then holds the
// "pack" entry's version, or stays as it was when the reply has none (an exception while reading
// it empties it). The request is released and every reply buffer freed, on every path.
bool QueryServerVersionAt(const std::string& url);
