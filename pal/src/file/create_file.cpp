// CreateFileA and WriteFile. A file handle owns one descriptor and its entry in the share table.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "file/file_descriptor.h"
#include "file/file_error.h"
#include "file/file_share.h"
#include "kernel/handle.h"

namespace pal::fs {
namespace {

class FileObject : public DescriptorObject {
public:
    FileObject(int fd, bool write, ShareEntry share) : fd_(fd), write_(write), share_(share) {}
    ~FileObject() override {
        RemoveShare(share_);
        close(fd_);
    }
    int fd() const { return fd_; }
    int Descriptor() const override { return fd_; }
    bool CanWrite() const { return write_; }

private:
    int fd_;
    bool write_;
    ShareEntry share_;
};

bool WantsRead(DWORD access) {
    return access & (GENERIC_READ | GENERIC_ALL);
}
bool WantsWrite(DWORD access) {
    return access & (GENERIC_WRITE | GENERIC_ALL);
}

// Opens the descriptor for a disposition. Sets *existed when the file was there before.
int OpenForDisposition(const char* path, DWORD disposition, int accessFlags, mode_t mode,
                       bool* existed) {
    const int common = accessFlags | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    switch (disposition) {
        case CREATE_NEW:
            *existed = false;
            return open(path, common | O_CREAT | O_EXCL, mode);
        case OPEN_EXISTING:
        case TRUNCATE_EXISTING:
            *existed = true;
            return open(path, common);
        case CREATE_ALWAYS:
        case OPEN_ALWAYS:
            for (int attempt = 0; attempt < 100; ++attempt) {
                int fd = open(path, common | O_CREAT | O_EXCL, mode);
                if (fd >= 0 || errno != EEXIST) {
                    *existed = false;
                    return fd;
                }
                fd = open(path, common);
                if (fd >= 0 || errno != ENOENT) {
                    *existed = true;
                    return fd;
                }
                // Removed between the two opens: try again.
            }
            return -1;
        default:
            errno = EINVAL;
            return -1;
    }
}

DWORD OpenError(const char* path, DWORD disposition, int error) {
    if (error == EEXIST && disposition == CREATE_NEW) {
        return ERROR_FILE_EXISTS;
    }
    if (error == ENOENT) {
        bool creates =
            disposition == CREATE_NEW || disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS;
        return creates ? ERROR_PATH_NOT_FOUND : MissingEntryError(path);
    }
    return ErrorFromErrno(error);
}

}  // namespace
}  // namespace pal::fs

// Differs from Windows: sharing is checked among the handles of this process only (POSIX has no
// share modes between processes); a file without write permissions counts as READONLY and is
// refused for writing even to the superuser; the security attributes and the template are not
// used and the handle is never inherited; of the flags and attributes only
// FILE_ATTRIBUTE_READONLY (for a file this call creates or overwrites) has an effect.
HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                   LPSECURITY_ATTRIBUTES, DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes,
                   HANDLE) {
    using namespace pal::fs;
    if (!CheckPath(lpFileName)) {
        return INVALID_HANDLE_VALUE;
    }
    std::string path(lpFileName);
    if (HasWildcard(path)) {
        SetLastError(ERROR_INVALID_NAME);
        return INVALID_HANDLE_VALUE;
    }
    const bool read = WantsRead(dwDesiredAccess);
    const bool write = WantsWrite(dwDesiredAccess);
    const bool truncates =
        dwCreationDisposition == CREATE_ALWAYS || dwCreationDisposition == TRUNCATE_EXISTING;
    if (dwCreationDisposition == TRUNCATE_EXISTING && !write) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    // Truncation happens only after the checks below, so the descriptor must be able to write.
    const int accessFlags = (write || truncates) ? (read || !write ? O_RDWR : O_WRONLY) : O_RDONLY;
    const mode_t mode = (dwFlagsAndAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    bool existed = false;
    int fd = OpenForDisposition(lpFileName, dwCreationDisposition, accessFlags, mode, &existed);
    if (fd < 0) {
        SetLastError(OpenError(lpFileName, dwCreationDisposition, errno));
        return INVALID_HANDLE_VALUE;
    }
    struct stat st;
    DWORD refusal = ERROR_SUCCESS;
    if (fstat(fd, &st) != 0) {
        refusal = ErrorFromErrno(errno);
    } else if (S_ISDIR(st.st_mode)) {
        refusal = ERROR_ACCESS_DENIED;
    } else if (existed && (write || truncates) && IsReadOnlyFile(st)) {
        refusal = ERROR_ACCESS_DENIED;  // the READONLY attribute holds for everyone
    }
    ShareEntry share;
    if (refusal == ERROR_SUCCESS &&
        !AddShare({st.st_dev, st.st_ino, read, write, dwShareMode}, &share)) {
        refusal = ERROR_SHARING_VIOLATION;
    }
    if (refusal != ERROR_SUCCESS) {
        close(fd);
        SetLastError(refusal);
        return INVALID_HANDLE_VALUE;
    }
    auto file = std::make_shared<FileObject>(fd, write, share);
    if (existed && truncates && ftruncate(fd, 0) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return INVALID_HANDLE_VALUE;
    }
    if (existed && truncates && (dwFlagsAndAttributes & FILE_ATTRIBUTE_READONLY)) {
        fchmod(fd, st.st_mode & 07555);
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    HANDLE handle = pal::AddHandle(file);
    bool reportsExisting =
        existed && (dwCreationDisposition == CREATE_ALWAYS || dwCreationDisposition == OPEN_ALWAYS);
    SetLastError(reportsExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

// Differs from Windows: overlapped writes are refused (ERROR_INVALID_PARAMETER).
BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
               LPDWORD lpNumberOfBytesWritten, LPVOID lpOverlapped) {
    auto file = pal::LookupHandleAs<pal::fs::FileObject>(hFile);
    if (!file) {
        return FALSE;
    }
    if (lpNumberOfBytesWritten) {
        *lpNumberOfBytesWritten = 0;
    }
    if (lpOverlapped || (!lpBuffer && nNumberOfBytesToWrite > 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!file->CanWrite()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    const char* data = static_cast<const char*>(lpBuffer);
    DWORD done = 0;
    while (done < nNumberOfBytesToWrite) {
        ssize_t n = write(file->fd(), data + done, nNumberOfBytesToWrite - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (lpNumberOfBytesWritten) {
                *lpNumberOfBytesWritten = done;
            }
            SetLastError(n < 0 ? pal::fs::ErrorFromErrno(errno) : ERROR_DISK_FULL);
            return FALSE;
        }
        done += static_cast<DWORD>(n);
    }
    if (lpNumberOfBytesWritten) {
        *lpNumberOfBytesWritten = done;
    }
    return TRUE;
}
