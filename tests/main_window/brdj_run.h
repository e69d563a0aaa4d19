// Test support: the program BRDJ run from an installation of the test's own, in the test's
// runtime root, with the real proxy library and service, driven and observed from outside
// through its control socket (the tool paldesk), as a person at a display would.
//
// The installation is a folder of the test root holding a copy of the program (so that its own
// folder is the installation: configuration, skin, movie) and of the utility library (whose
// folder names the folder the service is started from), and links to everything else of
// build/bin. The program's working folder is a folder of its own (its debug log is there), its
// debug output goes to a file, and web addresses go to a recording opener.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "test_root.h"
#include "windows.h"

namespace brdjtest {

// What a control request answered.
struct DeskAnswer {
    bool ok = false;
    std::vector<std::string> lines;
    std::string error;
};

// One line of the `windows`, `tray` or `menu` answers, its key=value fields (texts unquoted).
std::map<std::string, std::string> Fields(const std::string& line);
RECT RectField(const std::string& text);

class BrdjRun {
public:
    enum class Service { kInstalled, kMissing };
    explicit BrdjRun(Service service = Service::kInstalled);
    ~BrdjRun();
    BrdjRun(const BrdjRun&) = delete;
    BrdjRun& operator=(const BrdjRun&) = delete;

    // Before Start: one value of the installation's configuration.
    void SetConfig(const char* section, const char* key, const std::string& value);
    // Before Start: an update record whose installer is a script that records its arguments.
    void RecordPendingInstaller(const std::string& version);

    // Before Start: the program shows on this X display (":N") instead of the headless desktop.
    void UseDisplay(const std::string& display) { display_ = display; }
    // Starts the program; false when it cannot be started.
    bool Start();
    // Waits for the main window to be listed by the control socket; its line's fields.
    bool WaitForWindow(std::chrono::milliseconds limit);
    // The main window's handle text and rectangle as the socket lists it now.
    std::map<std::string, std::string> MainWindow();
    RECT MainWindowRect();

    // One control request to the program's socket.
    DeskAnswer Desk(const std::string& request);
    // Saves the screen, or the main window, as PNG under the test root and gives the path.
    std::string SaveScreen(const std::string& name);
    std::string SaveWindow(const std::string& name);
    // Saves the screen where it outlives the test root (the build's folder of kept pictures,
    // named after the running test and `name`), for a person to look at; gives the path.
    std::string KeepScreen(const std::string& name);

    // Waits for the program to end: its exit status, or -1 after the limit.
    int WaitExit(std::chrono::milliseconds limit);
    bool Running() const;
    pid_t Pid() const { return pid_; }

    std::string DebugLog() const;         // the program's log/BRDJ.txt
    std::string DebugOutput() const;      // what OutputDebugStringA wrote
    std::string ProxyLog() const;         // the proxy library's log
    std::string OpenedAddresses() const;  // one line per address given to the opener
    std::string InstallerRecord() const;  // the recorded installer's arguments, when it ran
    const brtest::ScopedTestRoot& Root() const { return root_; }
    std::string InstallFolder() const { return install_; }

private:
    brtest::ScopedTestRoot root_;
    std::string install_;
    std::string work_;
    std::string display_;
    pid_t pid_ = -1;
    int status_ = -1;
};

}  // namespace brdjtest
