// Support for the service's end-to-end tests: starting the real program (from the build's
// install folder, or a copy in a test installation with another engine or none), waiting for
// it, and making sure that no process a test started outlives it.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include "process_list.h"

namespace svctest {

// The engine beside a test installation's copy of the program.
enum class Engine {
    kRecording,  // recording_engine.cpp: logs its calls to BRTEST_ENGINE_LOG
    kNone,       // no libPlayEngine.so at all
    kOverflow,   // overflow_engine.cpp: the real engine, with a stack overflow where chosen
};

// Makes a test installation in dir: copies of BrCoreService and the layer that look for
// libraries in their own folder only (a copy, not a link, so that the program's folder is dir),
// the build's other shared libraries linked beside them, and the engine. Returns the program's
// path.
std::string MakeInstall(const std::string& dir, Engine engine);
// The program in the build's install folder.
std::string InstalledProgram();

// Processes a test starts; the destructor kills and reaps every one still there.
class Processes {
public:
    Processes() = default;
    ~Processes();
    Processes(const Processes&) = delete;
    Processes& operator=(const Processes&) = delete;

    // Starts the program without arguments, in the test's environment; -1 on failure.
    pid_t Start(const std::string& program);
    // The exit code once the process ended within the time, 128 + the signal when a signal
    // ended it, -1 when it still runs afterwards (it is left running).
    int WaitExit(pid_t pid, int timeoutMs);
    // True while the process has not ended (it is not reaped).
    bool Running(pid_t pid);
    // Kills the process and reaps it.
    void Kill(pid_t pid);
    void KillAll();

private:
    std::vector<pid_t> pids_;
};

// Polls the condition every 10 ms; true as soon as it holds, false after the time.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs);

// How many files match the glob pattern.
int CountFiles(const std::string& pattern);

using brtest::ProcessesNamed;

}  // namespace svctest
