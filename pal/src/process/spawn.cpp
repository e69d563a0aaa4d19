#include "process/spawn.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include "process/pidfd.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

extern char** environ;

namespace pal {
namespace {

DWORD ErrorFromErrno(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return ERROR_FILE_NOT_FOUND;
        case ENOEXEC:
        case ELIBBAD:
            return ERROR_BAD_EXE_FORMAT;
        case ENOMEM:
        case EAGAIN:
            return ERROR_NOT_ENOUGH_MEMORY;
        default:
            return ERROR_ACCESS_DENIED;
    }
}

// The interpreter line of a script: "#!/bin/sh -e" gives {"/bin/sh", "-e"}; empty when the
// file does not start with "#!". As the kernel does, everything after the interpreter's name is
// one argument.
std::vector<std::string> InterpreterOf(const std::string& file) {
    FILE* in = std::fopen(file.c_str(), "rb");
    if (!in) {
        return {};
    }
    char line[256] = {};
    bool read = std::fgets(line, sizeof line, in) != nullptr;
    std::fclose(in);
    if (!read || std::strncmp(line, "#!", 2) != 0) {
        return {};
    }
    std::string text(line + 2);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' ||
                             text.back() == '\t')) {
        text.pop_back();
    }
    size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos) {
        return {};
    }
    size_t end = text.find_first_of(" \t", start);
    std::vector<std::string> words{text.substr(start, end - start)};
    if (end != std::string::npos) {
        size_t arg = text.find_first_not_of(" \t", end);
        if (arg != std::string::npos) {
            words.push_back(text.substr(arg));
        }
    }
    return words;
}

std::vector<std::string> ChildEnvironment(const SpawnRequest& request) {
    std::vector<std::string> env;
    if (request.environment) {
        env = *request.environment;
    } else {
        for (char** entry = environ; entry && *entry; ++entry) {
            env.emplace_back(*entry);
        }
    }
    const std::string prefix = std::string(kShowCommandVariable) + "=";
    std::erase_if(env, [&](const std::string& entry) { return entry.starts_with(prefix); });
    if (request.showCommand) {
        env.push_back(prefix + std::to_string(*request.showCommand));
    }
    return env;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

// posix_spawn returns once the child's exec has replaced its memory, a moment before the kernel
// has placed the new environment. Process snapshots read that environment to tell the child's
// runtime root, so the start waits for it (a few microseconds), as a started process is listed
// at once on Windows.
void AwaitEnvironment(pid_t pid, int pidfd) {
    std::string path = "/proc/" + std::to_string(pid) + "/environ";
    for (int attempt = 0; attempt < 20000; ++attempt) {
        pollfd ended{pidfd, POLLIN, 0};
        if (poll(&ended, 1, 0) > 0) {
            return;  // it has ended already
        }
        FILE* in = std::fopen(path.c_str(), "rb");
        if (!in) {
            return;
        }
        bool placed = std::fgetc(in) != EOF;
        std::fclose(in);
        if (placed) {
            return;
        }
        usleep(50);
    }
}

}  // namespace

SpawnResult SpawnProgram(const SpawnRequest& request) {
    SpawnResult result;
    struct stat st;
    if (stat(request.file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        result.error = ERROR_FILE_NOT_FOUND;
        return result;
    }
    if (!request.directory.empty() &&
        (stat(request.directory.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))) {
        result.error = ERROR_DIRECTORY;
        return result;
    }
    // The child changes its folder before the exec, so a relative name would be looked up there.
    std::string file = request.file;
    if (file.front() != '/') {
        char cwd[PATH_MAX];
        if (!getcwd(cwd, sizeof cwd)) {
            result.error = ERROR_PATH_NOT_FOUND;
            return result;
        }
        file = std::string(cwd) + "/" + file;
    }
    std::vector<std::string> argv;
    std::string path = file;
    if (access(file.c_str(), X_OK) == 0) {
        argv.push_back(request.argv0.empty() ? file : request.argv0);
    } else {
        argv = InterpreterOf(file);
        if (argv.empty()) {
            result.error = ERROR_BAD_EXE_FORMAT;
            return result;
        }
        path = argv.front();
        argv.push_back(file);
    }
    argv.insert(argv.end(), request.args.begin(), request.args.end());
    std::vector<std::string> env = ChildEnvironment(request);

    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!request.directory.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, request.directory.c_str());
    }
    std::vector<char*> argvPointers = Pointers(argv);
    std::vector<char*> envPointers = Pointers(env);
    pid_t pid = 0;
    int error =
        posix_spawn(&pid, path.c_str(), &actions, &attr, argvPointers.data(), envPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    if (error != 0) {
        result.error = ErrorFromErrno(error);
        return result;
    }
    // The child cannot be reaped before this, so the id still names it.
    int pidfd = PidFdOpen(pid);
    if (pidfd < 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        result.error = ErrorFromErrno(errno);
        return result;
    }
    result.child = std::make_shared<Child>(pid, pidfd);
    WatchChild(result.child);
    if (!env.empty()) {
        AwaitEnvironment(pid, pidfd);
    }
    return result;
}

}  // namespace pal
