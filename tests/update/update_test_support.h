// Support for the update tests: a test installation folder with copies of the programs, scripts
// that record how they were started, and waits for the processes the tests start.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "process_list.h"
#include "test_root.h"

namespace updtest {

// A "#!" script that writes the show command it was started with (the layer hands it on in
// PAL_SHOW_COMMAND), its argument count and its arguments ("show=0|1|/S|") to out, whole.
std::string RecorderScript(const std::string& out);
// Writes a script with that mode, creating its folder.
bool WriteScript(const std::string& path, const std::string& text, int mode);
// True once the file exists, within the time.
bool WaitForFile(const std::string& path, int timeoutMs = 15000);

// Starts a program with its arguments and the test's environment; -1 when it could not.
pid_t Spawn(const std::string& program, const std::vector<std::string>& args);
// The exit status once the process ended within the time; else it is killed and -1 returned.
int WaitExit(pid_t pid, int timeoutMs = 30000);

using brtest::ProcessesNamed;
// True once no process of that name runs in this root; after the time, kills those left and
// returns false.
bool WaitNoProcess(const char* name, int timeoutMs = 30000);

// One INI value, or "<missing>" when the key is not in the file.
std::string IniValue(const std::string& file, const char* section, const char* key);

// A test installation under the test root: the folder install/ that plays the program folder,
// and the data folder the programs compute from the root's app-data folder.
class TestInstall {
public:
    explicit TestInstall(const brtest::ScopedTestRoot& root);

    std::string Dir() const { return dir_; }          // ends in "/"
    std::string DataDir() const { return dataDir_; }  // ends in "/"
    std::string RecordFile() const { return dataDir_ + "Config.ini"; }
    std::string ConfigFile() const { return dir_ + "Conf/default/config.ini"; }

    // The real updater, copied from the build's install folder.
    void AddUpdater();
    // A script in the updater's place that records its command line to out.
    void AddFakeUpdater(const std::string& out);
    void SetConfig(const char* section, const char* key, const std::string& value);
    void SetRecord(const std::string& version, const std::string& file);

    // Runs the client helper ("check" or "close", and optionally "noworkdir") to its end;
    // its exit status.
    int RunClient(const std::string& action, const std::string& option = std::string());
    // Starts the real updater with that command line; its process id.
    pid_t StartUpdater(const std::string& commandLine);

private:
    std::string dir_;
    std::string dataDir_;
};

}  // namespace updtest
