// ReplaceFile: a new file beside the old one, renamed over it, under a lock on the folder.
#include "ini/ini_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <string_view>

#include "file/file_error.h"

namespace pal::ini {
namespace {

bool WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = ENOSPC;
            }
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

// Holds an exclusive lock on a folder for its lifetime. Where the file system has no locks the
// writers go on without one: the rename still keeps every file whole.
class FolderLock {
public:
    explicit FolderLock(const std::string& folder)
        : fd_(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        int rc = -1;
        while (fd_ >= 0 && (rc = flock(fd_, LOCK_EX)) != 0 && errno == EINTR) {
        }
        locked_ = fd_ >= 0 && rc == 0;
    }
    ~FolderLock() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    int fd() const { return fd_; }
    bool locked() const { return locked_; }

private:
    int fd_;
    bool locked_ = false;
};

// The start of the names of the new files written for a path.
std::string NewFilePrefix(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return "." + (slash == std::string::npos ? path : path.substr(slash + 1)) + ".new-";
}

// A name for the new file that no other writer, thread or process, uses at the same time.
std::string NewFileName(const std::string& folder, const std::string& path) {
    static std::atomic<unsigned> counter{0};
    return folder + "/" + NewFilePrefix(path) + std::to_string(getpid()) + "-" +
           std::to_string(counter.fetch_add(1));
}

// Removes the new files that writers which died before their rename left behind. Only while
// the folder is locked: then no living writer is between creating and renaming one.
void RemoveLeftovers(const FolderLock& lock, const std::string& folder, const std::string& path) {
    if (!lock.locked()) {
        return;
    }
    std::string prefix = NewFilePrefix(path);
    DIR* dir = opendir(folder.c_str());
    if (!dir) {
        return;
    }
    while (struct dirent* entry = readdir(dir)) {
        if (std::string_view(entry->d_name).substr(0, prefix.size()) == prefix) {
            unlinkat(dirfd(dir), entry->d_name, 0);
        }
    }
    closedir(dir);
}

bool Fail(DWORD error) {
    SetLastError(error);
    return false;
}

}  // namespace

bool ReplaceFile(const std::string& given, bool create,
                 const std::function<std::string(const std::optional<std::string>&)>& edit) {
    // Through a symbolic link the file it points to is replaced, not the link.
    std::string path = given;
    char real[PATH_MAX];
    if (realpath(given.c_str(), real)) {
        path = real;
    }
    std::string folder = fs::ParentOf(path);
    FolderLock lock(folder);
    if (lock.fd() < 0) {
        return Fail(errno == ENOENT ? ERROR_PATH_NOT_FOUND : fs::ErrorFromErrno(errno));
    }
    RemoveLeftovers(lock, folder, path);
    struct stat st;
    std::optional<std::string> old;
    if (stat(path.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode) || fs::IsReadOnlyFile(st) || access(path.c_str(), W_OK) != 0) {
            return Fail(ERROR_ACCESS_DENIED);
        }
        old = ReadWholeFile(path);
        if (!old) {
            return false;
        }
    } else if (errno != ENOENT) {
        return Fail(fs::ErrorFromErrno(errno));
    } else if (!create) {
        return true;
    }
    std::string text = edit(old);
    if (old && text == *old) {
        return true;
    }
    std::string fresh = NewFileName(folder, path);
    // A new file takes the usual permissions less the umask; a replaced one keeps its own.
    int fd = open(fresh.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                  old ? 0600 : 0666);
    if (fd < 0) {
        return Fail(fs::ErrorFromErrno(errno));
    }
    bool written = WriteAll(fd, text);
    if (written && old) {
        if ((st.st_uid != geteuid() || st.st_gid != getegid()) &&
            fchown(fd, st.st_uid, st.st_gid) != 0) {
            // Only the superuser may give a file away; the owner stays this user then.
        }
        written = fchmod(fd, st.st_mode & 07777) == 0;
    }
    written = written && fsync(fd) == 0;
    int error = errno;
    close(fd);
    if (!written || rename(fresh.c_str(), path.c_str()) != 0) {
        error = written ? errno : error;
        unlink(fresh.c_str());
        return Fail(fs::ErrorFromErrno(error));
    }
    fsync(lock.fd());  // the rename itself reaches the disk
    return true;
}

}  // namespace pal::ini
