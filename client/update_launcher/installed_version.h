// The installation's configuration file (Conf/default/config.ini under the program folder), as
// far as the client and the updater both read it: the installed version.
#pragma once

#include <string>

// The version an installation counts as when it names none: "1.0.0.0".
extern const char* const kDefaultInstalledVersion;

// One value of the installation's configuration file; empty when missing.
std::string ReadInstallValue(const char* section, const char* key);

// Section "App", key "Version": the installed version, or the fallback when it is missing, empty
// or not a version text (IsVersionText); true when the value delivered is not empty.
bool ReadInstalledVersion(std::string& value, const std::string& fallback);
