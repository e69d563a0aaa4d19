// Test support: the program BRDJ in an installation of the test's own (a copy of the program,
// the Flash component and the components' registry as the test says, a configuration that sends
// the control's transcript to a file, the test's movie as the local movie), and runs of it with
// their standard output and error in files.
#pragma once

#include <sys/types.h>

#include <string>

namespace apptest {

struct Installation {
    bool flashRegistered = true;
    bool flashLibrary = true;
    std::string movie;  // the text of loadingVer.swf
};

class ProgramInstall {
public:
    // Makes the installation in a new folder under `parent`.
    ProgramInstall(const std::string& parent, const Installation& installation);
    const std::string& Folder() const { return folder_; }
    std::string Transcript() const;

private:
    std::string folder_;
};

class ProgramRun {
public:
    // Starts the installation's BRDJ; `name` tells this run's files apart.
    ProgramRun(const ProgramInstall& install, const std::string& name);
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    bool Started() const { return pid_ > 0; }
    // Sends the signal, as a terminal's user ending the program does (SIGINT for Ctrl+C,
    // SIGTERM for kill).
    void Signal(int signal) const;
    // The exit code once it has ended within the time, else -1 (still running, or a signal).
    int Wait(int timeoutMs);
    std::string Output() const;
    std::string Errors() const;

private:
    std::string files_;
    pid_t pid_ = -1;
    int status_ = -1;
};

}  // namespace apptest
