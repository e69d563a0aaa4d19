// Where a profile file lives and reading it whole.
#include "ini/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "file/file_error.h"

namespace pal::ini {
namespace {

std::string WindowsDirectory() {
    const char* own = std::getenv("PAL_WINDOWS_DIR");
    std::string dir;
    if (own && *own) {
        dir = own;
        while (dir.size() > 1 && dir.back() == '/') {
            dir.pop_back();
        }
        return dir;
    }
    dir = PalRuntimeDir();
    return dir.empty() ? dir : dir + "/windows";
}

}  // namespace

std::optional<std::string> ResolveProfilePath(LPCSTR fileName, bool create) {
    std::string name = fileName ? fileName : "win.ini";
    if (name.find('/') == std::string::npos) {
        std::string dir = WindowsDirectory();
        if (dir.empty()) {
            SetLastError(ERROR_PATH_NOT_FOUND);
            return std::nullopt;
        }
        if (create && mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
            SetLastError(fs::ErrorFromErrno(errno == ENOENT ? ENOTDIR : errno));
            return std::nullopt;
        }
        name = dir + "/" + name;
    }
    if (!fs::CheckPath(name.c_str())) {
        return std::nullopt;
    }
    return name;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        SetLastError(errno == ENOENT ? fs::MissingEntryError(path) : fs::ErrorFromErrno(errno));
        return std::nullopt;
    }
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return std::nullopt;
    }
    std::string text;
    char buffer[65536];
    for (;;) {
        ssize_t n = read(fd, buffer, sizeof(buffer));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            int error = errno;
            close(fd);
            SetLastError(fs::ErrorFromErrno(error));
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        text.append(buffer, static_cast<size_t>(n));
    }
    close(fd);
    return text;
}

}  // namespace pal::ini
