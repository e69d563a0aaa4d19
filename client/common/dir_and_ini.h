// Paths, folders, the update record's INI file and starting other programs: the functions the
// client and the updater share. Texts are narrow GBK text; folder texts end in kPathSeparator.
#pragma once

#include <string>

// The one path separator of composed paths ("Conf/default/config.ini", "BRDJ/").
constexpr char kPathSeparator = '/';

// The data folder, ending in kPathSeparator; empty until its program sets it at start-up, before
// ReadConfigValue or WriteConfigValue runs. Those two read it at every call.
extern std::string g_strWorkDir;

// The installation's configuration file relative to the program folder: "Conf/default/config.ini".
// The client and the updater read this one file.
std::string InstallConfigFile();

// The folder of the running program, ending in kPathSeparator; empty when it cannot be had.
std::string GetExeDir();
// The common application-data folder followed by kPathSeparator (created when missing); empty
// when the system cannot give it.
std::string GetCommonDataDir();
// True when the path, without its trailing separators, names an existing file or folder.
// Wildcards in the last component are true when any entry matches. An empty path, or one of
// separators only, is false without touching the file system.
bool PathExists(const std::string& path);
// Creates the last level of the path when nothing of that name exists. False for an empty path
// and when the folder could not be created (its parent is missing, say); true when something of
// that name exists afterwards.
bool EnsureDirectory(const std::string& path);
// Reads one key of g_strWorkDir + "Config.ini" (a value is at most 255 bytes). A missing file,
// section or key, or an empty value, delivers the fallback. True when the value is not empty.
bool ReadConfigValue(const std::string& section, const std::string& key, std::string& value,
                     const std::string& fallback);
// Writes one key of g_strWorkDir + "Config.ini", creating the file and the section when missing;
// an empty value keeps the key with nothing after "=". True when the write succeeded.
bool WriteConfigValue(const std::string& section, const std::string& key, const std::string& value);
// Starts a program (or opens an address) with the parameters as its command line, shown
// normally or hidden, without waiting for it. False for an empty file name and when the start
// failed.
bool ShellOpen(const std::string& file, const std::string& parameters, bool show);
