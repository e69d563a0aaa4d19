// Test support: a private folder tree per test, so test processes never find, kill or message
// processes of another test or of a real installation.
#pragma once

#include <string>

namespace brtest {

// Makes a new empty folder under the system's temporary folder.
std::string MakeTempDir(const std::string& prefix);
// Removes a folder and everything in it; missing folders are fine.
void RemoveTree(const std::string& path);
// Writes a whole file; returns false on any failure.
bool WriteFile(const std::string& path, const std::string& content);
// Reads a whole file; empty when missing.
std::string ReadFile(const std::string& path);

// Creates <tmp>/brtest-XXXX with the folders "runtime", "appdata", "windows" and "log", and points
// PAL_RUNTIME_DIR, PAL_COMMON_APPDATA, PAL_WINDOWS_DIR and BRLOG_DIR at them for this process
// and the processes it starts; the player engine plays to its output without a device
// (PLAYENGINE_OUTPUT "clock"), so tests never need or reach a sound card. Restores the variables
// and removes the tree when destroyed.
class ScopedTestRoot {
public:
    ScopedTestRoot();
    ~ScopedTestRoot();
    ScopedTestRoot(const ScopedTestRoot&) = delete;
    ScopedTestRoot& operator=(const ScopedTestRoot&) = delete;

    const std::string& Path() const { return path_; }
    std::string Runtime() const { return path_ + "/runtime"; }
    std::string AppData() const { return path_ + "/appdata"; }
    std::string WindowsDir() const { return path_ + "/windows"; }
    std::string LogDir() const { return path_ + "/log"; }

private:
    std::string path_;
    struct Saved;
    Saved* saved_;
};

}  // namespace brtest
