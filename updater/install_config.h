// The updater's part of the installation's configuration file (Conf/default/config.ini under the
// program folder): the web hosts it talks to and its time limits. The installed version is read
// as the client reads it (installed_version.h).
#pragma once

#include <string>

#include "installed_version.h"
#include "windows.h"

// "http://" + [Web] VersionHost + "/fans.br"; empty when no host is configured.
std::string VersionServiceUrl();
// "http://" + [Web] DownloadHost + "/inspack/" + fileName; empty when no host is configured.
std::string InstallerUrl(const std::string& fileName);
// [Web] DownloadWaitSeconds in milliseconds: how long the updater waits for a download's
// outcome after its last progress; kDownloadWaitLimitMs when missing or not a positive number.
DWORD DownloadWaitLimitMs();

// How long the version query may take unless configured otherwise: a minute, ample for a reply
// of a few hundred bytes.
constexpr DWORD kVersionQueryLimitMs = 60u * 1000u;
// [Web] VersionQuerySeconds in milliseconds: the limit of the whole version query;
// kVersionQueryLimitMs when missing or not a positive number.
DWORD VersionQueryLimitMs();
