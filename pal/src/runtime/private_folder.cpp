// The check every folder of the runtime root passes before the layer puts anything in it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "windows.h"

namespace {

// Checks the open folder and narrows it to its owner when it is ours: 0 or the errno.
int CheckOpenFolder(int fd) {
    struct stat st;
    if (fstat(fd, &st) != 0) {
        return errno;
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != geteuid()) {
        return EACCES;  // another user's folder: whatever it holds, that user controls
    }
    if ((st.st_mode & 077) == 0) {
        return 0;
    }
    if (fchmod(fd, st.st_mode & 07700) != 0) {
        return errno;
    }
    // Looked at again: only a folder that is private now is used.
    if (fstat(fd, &st) != 0) {
        return errno;
    }
    return (st.st_mode & 077) == 0 ? 0 : EACCES;
}

}  // namespace

bool PalPrivateFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        return false;
    }
    // Opened without following a link, so the checks and the narrowing concern this very folder.
    int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    int error = CheckOpenFolder(fd);
    close(fd);
    errno = error;
    return error == 0;
}
