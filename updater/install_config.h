// The installation's configuration file (Conf/default/config.ini under the program folder): the
// installed version and the web hosts the updater talks to.
#pragma once

#include <string>

#include "windows.h"

// Section "App", key "Version": the installed version, or the fallback when it is missing, empty
// or not a version text (IsVersionText); true when the value delivered is not empty.
bool ReadInstalledVersion(std::string& value, const std::string& fallback);

// "http://" + [Web] VersionHost + "/fans.br"; empty when no host is configured.
std::string VersionServiceUrl();
// "http://" + [Web] DownloadHost + "/inspack/" + fileName; empty when no host is configured.
std::string InstallerUrl(const std::string& fileName);
// [Web] DownloadWaitSeconds in milliseconds: how long the updater waits for a download's
// outcome; kDownloadWaitLimitMs when missing or not a positive number.
DWORD DownloadWaitLimitMs();

// How long the version query may take unless configured otherwise: a minute, ample for a reply
// of a few hundred bytes.
constexpr DWORD kVersionQueryLimitMs = 60u * 1000u;
// [Web] VersionQuerySeconds in milliseconds: the limit of the whole version query;
// kVersionQueryLimitMs when missing or not a positive number.
DWORD VersionQueryLimitMs();
