#include "cache_folder.h"

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include <windows.h>

namespace swarmget {

namespace {
const char kPartSuffix[] = ".part";

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::string StripTrailingSeparators(std::string dir) {
    while (dir.size() > 1 && dir.back() == '/') {
        dir.pop_back();
    }
    return dir;
}

// Whether the process that names itself in "<stem>.<pid>-<serial>.part" still runs: its files
// may belong to a download in progress.
bool WriterRuns(const std::string& name) {
    size_t dot = name.rfind('.', name.size() - sizeof(kPartSuffix));
    if (dot == std::string::npos) {
        return false;
    }
    long pid = std::strtol(name.c_str() + dot + 1, nullptr, 10);
    if (pid <= 0) {
        return false;
    }
    return pid == getpid() || kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

std::string SignStem(const std::string& dir, const Sign& sign) {
    return dir + "/" + std::to_string(sign.first) + "_" + std::to_string(sign.second);
}
}  // namespace

std::string ResolveCacheDir(const std::string& configured) {
    if (!configured.empty()) {
        return StripTrailingSeparators(configured);
    }
    const char* own = std::getenv("SWARMGET_CACHE_DIR");
    if (own && *own) {
        return StripTrailingSeparators(own);
    }
    std::string root = PalRuntimeDir();
    return root.empty() ? std::string() : root + "/swarmget";
}

std::string FinalPath(const std::string& dir, const Sign& sign) {
    return SignStem(dir, sign) + ".dat";
}

std::string PartPath(const std::string& dir, const Sign& sign, uint64_t serial) {
    return SignStem(dir, sign) + "." + std::to_string(getpid()) + "-" + std::to_string(serial) +
           kPartSuffix;
}

bool MakeDirs(const std::string& dir) {
    if (dir.empty()) {
        return false;
    }
    for (size_t at = dir.find('/', 1);; at = dir.find('/', at + 1)) {
        std::string prefix = dir.substr(0, at);
        if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
        if (at == std::string::npos) {
            break;
        }
    }
    struct stat st;
    return stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void RemovePartials(const std::string& dir) {
    DIR* folder = opendir(dir.c_str());
    if (!folder) {
        return;
    }
    while (const dirent* entry = readdir(folder)) {
        std::string name = entry->d_name;
        if (EndsWith(name, kPartSuffix) && !WriterRuns(name)) {
            unlink((dir + "/" + name).c_str());
        }
    }
    closedir(folder);
}

}  // namespace swarmget
