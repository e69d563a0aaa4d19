#include "process/proc_reader.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <map>
#include <sstream>

#include "process/program_names.h"
#include "windows.h"

namespace pal {
namespace {

// Reads a /proc file. A process that ends meanwhile makes the read fail (ESRCH), not throw.
bool ReadWholeFile(const std::string& path, std::string& content) {
    content.clear();
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    char buffer[4096];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)) {
        if (n > 0) {
            content.append(buffer, static_cast<size_t>(n));
        }
    }
    close(fd);
    return n == 0;
}

std::string ProcPath(pid_t pid, const char* entry) {
    return "/proc/" + std::to_string(pid) + "/" + entry;
}

}  // namespace

std::vector<pid_t> ListProcessIds() {
    std::vector<pid_t> ids;
    DIR* dir = opendir("/proc");
    if (!dir) {
        return ids;
    }
    while (dirent* entry = readdir(dir)) {
        char* end = nullptr;
        long id = std::strtol(entry->d_name, &end, 10);
        if (end != entry->d_name && *end == '\0' && id > 0) {
            ids.push_back(static_cast<pid_t>(id));
        }
    }
    closedir(dir);
    std::sort(ids.begin(), ids.end());
    return ids;
}

bool ReadProcInfo(pid_t pid, ProcInfo& info) {
    info = ProcInfo();
    info.pid = pid;
    struct stat st;
    if (stat(("/proc/" + std::to_string(pid)).c_str(), &st) != 0) {
        return false;
    }
    info.uid = st.st_uid;
    // "pid (comm) state ppid ..."; comm may hold blanks and parentheses, so read after the last
    // ')'.
    std::string stat;
    size_t close = std::string::npos;
    if (!ReadWholeFile(ProcPath(pid, "stat"), stat) ||
        (close = stat.rfind(')')) == std::string::npos) {
        return false;
    }
    std::istringstream fields(stat.substr(close + 1));
    long parent = 0;
    fields >> info.state >> parent;
    std::string skip;
    for (int field = 5; field < 20 && fields >> skip; ++field) {
    }
    fields >> info.threads;
    info.parent = static_cast<pid_t>(parent);

    char target[PATH_MAX];
    ssize_t n = readlink(ProcPath(pid, "exe").c_str(), target, sizeof target - 1);
    if (n <= 0) {
        return false;
    }
    std::string exe(target, static_cast<size_t>(n));
    const std::string deleted = " (deleted)";
    if (exe.size() > deleted.size() && exe.ends_with(deleted)) {
        exe.resize(exe.size() - deleted.size());
    }
    info.exeName = FileNamePart(exe);
    return !info.exeName.empty();
}

std::string ProcRuntimeDir(pid_t pid, unsigned uid) {
    std::string block;
    if (!ReadWholeFile(ProcPath(pid, "environ"), block)) {
        return std::string();
    }
    std::map<std::string, std::string> vars;
    size_t start = 0;
    while (start < block.size()) {
        size_t end = block.find('\0', start);
        if (end == std::string::npos) {
            end = block.size();
        }
        std::string entry = block.substr(start, end - start);
        size_t eq = entry.find('=');
        if (eq != std::string::npos &&
            (entry.starts_with("PAL_RUNTIME_DIR=") || entry.starts_with("XDG_RUNTIME_DIR="))) {
            vars.emplace(entry.substr(0, eq), entry.substr(eq + 1));
        }
        start = end + 1;
    }
    return PalResolveRuntimeDir(
        [&](const char* name) -> const char* {
            auto it = vars.find(name);
            return it == vars.end() ? nullptr : it->second.c_str();
        },
        uid);
}

}  // namespace pal
