// The update contract between the client and the updater: the record in the data folder's
// "Config.ini", the installer's file name, and what counts as a version text.
#pragma once

#include <string>

// Section and keys of the update record. "Version": the downloaded installer's version;
// "UpdateFile": its full path. The updater writes both after a completed download, the client
// clears both when the file has gone.
extern const char* const kUpdateSection;
extern const char* const kUpdateVersionKey;
extern const char* const kUpdateFileKey;

// The updater's program, in the program folder.
extern const char* const kUpdaterProgram;
// The installer's only parameter: a silent install.
extern const char* const kSilentInstallParameter;

// The longest version text accepted.
constexpr size_t kMaxVersionText = 32;

// True for a version text the system accepts: one or more runs of decimal digits separated by
// single dots ("1.0.0.10"), at most kMaxVersionText characters. Such a text is safe in a file
// name and in an address; anything else the version service sends is refused.
bool IsVersionText(const std::string& text);

// The data folder inside the common application-data folder: common + "BRDJ/"; empty when
// common is empty.
std::string DataDirectory(const std::string& commonDataDir);

// "BRDJ_" + version + ".exe".
std::string InstallerFileName(const std::string& version);

// The one installer the updater writes for a version: dataDir + InstallerFileName(version),
// directly in the data folder. Empty when dataDir is empty or version is no version text.
std::string InstallerPath(const std::string& dataDir, const std::string& version);
