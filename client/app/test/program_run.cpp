#include "program_run.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "test_root.h"
#include "wait_until.h"

extern char** environ;

namespace apptest {

namespace fs = std::filesystem;

ProgramInstall::ProgramInstall(const std::string& parent, const Installation& installation)
    : folder_(parent + "/install") {
    fs::create_directories(folder_ + "/Conf/default");
    const std::string bin = BR_BIN_DIR;
    // A copy, so that the program's own folder is this one.
    fs::copy_file(bin + "/BRDJ", folder_ + "/BRDJ");
    if (installation.flashLibrary)
        fs::create_symlink(bin + "/libFlash.so", folder_ + "/libFlash.so");
    brtest::WriteFile(folder_ + "/components.ini",
                      installation.flashRegistered
                          ? "[CLSID]\n{D27CDB6E-AE6D-11CF-96B8-444553540000}=Flash.dll\n"
                          : "[CLSID]\n");
    brtest::WriteFile(folder_ + "/Conf/default/config.ini",
                      "[Flash]\nVersion=11.2\nTranscript=transcript.txt\n");
    brtest::WriteFile(folder_ + "/loadingVer.swf", installation.movie);
}

std::string ProgramInstall::Transcript() const {
    return brtest::ReadFile(folder_ + "/transcript.txt");
}

ProgramRun::ProgramRun(const ProgramInstall& install, const std::string& name)
    : files_(install.Folder() + "/../" + name) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, (files_ + ".out").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, (files_ + ".err").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        std::string entry = *e;
        // The installation's own registry, not one a test named.
        if (entry.rfind("PAL_COMPONENT_REGISTRY=", 0) != 0)
            env.push_back(entry);
    }
    std::vector<char*> envp;
    for (std::string& entry : env) envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::string program = install.Folder() + "/BRDJ";
    char* argv[] = {program.data(), nullptr};
    if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, envp.data()) != 0)
        pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
}

ProgramRun::~ProgramRun() {
    if (pid_ > 0 && Wait(0) == -1 && status_ == -1) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

void ProgramRun::Signal(int signal) const {
    if (pid_ > 0)
        kill(pid_, signal);
}

int ProgramRun::Wait(int timeoutMs) {
    if (pid_ <= 0)
        return -1;
    if (status_ == -1) {
        brtest::WaitUntil(
            [&] {
                int status = 0;
                if (waitpid(pid_, &status, WNOHANG) == pid_)
                    status_ = status;
                return status_ != -1;
            },
            std::chrono::milliseconds(timeoutMs));
    }
    return status_ != -1 && WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
}

std::string ProgramRun::Output() const {
    return brtest::ReadFile(files_ + ".out");
}

std::string ProgramRun::Errors() const {
    return brtest::ReadFile(files_ + ".err");
}

}  // namespace apptest
