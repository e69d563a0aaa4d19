// Named mutexes as files under <runtime root>/mutex. Every handle keeps its own descriptor of
// the name's file with a shared flock, so the kernel lets go of it however the process ends.
// Whether anyone else has the name open is the question whether an exclusive flock would be
// refused; that test and the taking of the shared lock happen under an exclusive flock on the
// folder's ".guard" file, so two processes that start together never both see the name as new.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "kernel/handle.h"
#include "kernel/mutex_name.h"

namespace {

DWORD ErrorFromErrno(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
        case EROFS:
        case ELOOP:
            return ERROR_ACCESS_DENIED;
        case ENOENT:
        case ENOTDIR:
            return ERROR_PATH_NOT_FOUND;
        case ENAMETOOLONG:
            return ERROR_FILENAME_EXCED_RANGE;
        case ENOMEM:
        case ENOSPC:
        case EMFILE:
        case ENFILE:
        case ENOLCK:
            return ERROR_NOT_ENOUGH_MEMORY;
        default:
            return ERROR_INVALID_FUNCTION;
    }
}

// Opens (or creates, mode 0600) a file of the folder: never through a symbolic link, and only a
// regular file of this user, so a file planted there by someone else is refused (ELOOP, EACCES).
int OpenOwnFile(const std::string& path) {
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600);
    if (fd < 0) {
        return -1;
    }
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid()) {
        close(fd);
        errno = EACCES;
        return -1;
    }
    return fd;
}

int Flock(int fd, int operation) {
    int rc;
    do {
        rc = flock(fd, operation);
    } while (rc != 0 && errno == EINTR);
    return rc;
}

// The folder's guard, held from construction to destruction.
class GuardLock {
public:
    explicit GuardLock(const std::string& folder) {
        fd_ = OpenOwnFile(folder + "/.guard");
        if (fd_ >= 0 && Flock(fd_, LOCK_EX) != 0) {
            error_ = errno;
            close(fd_);
            fd_ = -1;
        } else if (fd_ < 0) {
            error_ = errno;
        }
    }
    ~GuardLock() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    GuardLock(const GuardLock&) = delete;
    GuardLock& operator=(const GuardLock&) = delete;

    bool Held() const { return fd_ >= 0; }
    int Error() const { return error_; }

private:
    int fd_ = -1;
    int error_ = 0;
};

// Makes the folder levels of a long name's file ("level+/level+/file").
int MakeLevels(const std::string& folder, const std::string& file) {
    for (size_t slash = file.find('/'); slash != std::string::npos;
         slash = file.find('/', slash + 1)) {
        std::string level = folder + "/" + file.substr(0, slash);
        if (!PalPrivateFolder(level)) {
            return errno;
        }
    }
    return 0;
}

void RemoveEmptyLevels(const std::string& folder, const std::string& file) {
    for (size_t slash = file.rfind('/'); slash != std::string::npos && slash > 0;
         slash = file.rfind('/', slash - 1)) {
        if (rmdir((folder + "/" + file.substr(0, slash)).c_str()) != 0) {
            return;  // still used by another name
        }
    }
}

class NamedMutex : public pal::Object {
public:
    NamedMutex(std::string folder, std::string file, int fd)
        : folder_(std::move(folder)), file_(std::move(file)), fd_(fd) {}

    ~NamedMutex() override {
        // The last holder removes the file; under the guard, so no creator is between opening
        // the file and locking it. A holder that dies leaves the file, which the next creator
        // takes over unlocked.
        GuardLock guard(folder_);
        if (guard.Held() && Flock(fd_, LOCK_EX | LOCK_NB) == 0) {
            unlink((folder_ + "/" + file_).c_str());
            RemoveEmptyLevels(folder_, file_);
        }
        close(fd_);
    }

    // Differs from Windows: ownership is not kept, so the mutex cannot be waited on.
    DWORD Wait(DWORD) override {
        SetLastError(ERROR_NOT_SUPPORTED);
        return WAIT_FAILED;
    }

private:
    const std::string folder_;
    const std::string file_;
    const int fd_;
};

HANDLE Fail(DWORD error) {
    SetLastError(error);
    return nullptr;
}

}  // namespace

// Differs from Windows: only the existence of the name is kept (bInitialOwner is ignored, the
// handle cannot be waited on), an unnamed mutex fails with ERROR_NOT_SUPPORTED, the security
// attributes are not applied, and "Global\" or "Local\" is part of the name, not a namespace.
HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL, LPCSTR lpName) {
    if (!lpName || !*lpName) {
        return Fail(ERROR_NOT_SUPPORTED);
    }
    if (pal::ObjectNameLength(lpName) > MAX_PATH) {
        return Fail(ERROR_FILENAME_EXCED_RANGE);
    }
    std::string root = PalRuntimeDir();
    if (root.empty()) {
        return Fail(ERROR_PATH_NOT_FOUND);
    }
    std::string folder = root + "/mutex";
    if (!PalPrivateFolder(folder)) {
        return Fail(ErrorFromErrno(errno));
    }
    std::string file = pal::MutexFileFor(lpName);

    GuardLock guard(folder);
    if (!guard.Held()) {
        return Fail(ErrorFromErrno(guard.Error()));
    }
    if (int error = MakeLevels(folder, file)) {
        return Fail(ErrorFromErrno(error));
    }
    int fd = OpenOwnFile(folder + "/" + file);
    if (fd < 0) {
        return Fail(ErrorFromErrno(errno));
    }
    bool existed = false;
    if (Flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK) {
            DWORD error = ErrorFromErrno(errno);
            close(fd);
            return Fail(error);
        }
        existed = true;
    }
    // Only guard holders ever lock exclusively, so this never waits.
    if (Flock(fd, LOCK_SH) != 0) {
        DWORD error = ErrorFromErrno(errno);
        close(fd);
        return Fail(error);
    }
    HANDLE handle = pal::AddHandle(std::make_shared<NamedMutex>(folder, file, fd));
    SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}
