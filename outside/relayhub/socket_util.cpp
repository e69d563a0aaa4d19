#include "socket_util.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "relayhub.h"

namespace relayhub {

namespace {

bool FitsAddress(const std::string& path) {
    return path.size() < sizeof(sockaddr_un{}.sun_path);
}

sockaddr_un AddressOf(const std::string& path) {
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return address;
}

}  // namespace

std::string SocketPath(const std::string& dir, int32_t id) {
    return dir + "/" + std::to_string(id) + ".sock";
}

std::string LockPath(const std::string& dir, int32_t id) {
    return dir + "/" + std::to_string(id) + ".lock";
}

std::string PrepareDirectory(const char* dir) {
    if (!dir || !*dir || (mkdir(dir, 0700) != 0 && errno != EEXIST)) {
        return std::string();
    }
    struct stat st;
    if (stat(dir, &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != geteuid()) {
        return std::string();
    }
    if ((st.st_mode & 077) != 0 && chmod(dir, 0700) != 0) {
        return std::string();
    }
    char* absolute = realpath(dir, nullptr);
    if (!absolute) {
        return std::string();
    }
    std::string path(absolute);
    free(absolute);
    if (!FitsAddress(SocketPath(path, INT32_MIN))) {
        return std::string();
    }
    return path;
}

int LockEndpoint(const std::string& path) {
    for (;;) {
        int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) {
            return -1;
        }
        if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
            close(fd);
            return -1;
        }
        // The holder before us removes the file before it lets go of the lock: a lock on a file
        // that is no longer at the path guards nothing, so try again with the file there now.
        struct stat held, named;
        if (fstat(fd, &held) == 0 && stat(path.c_str(), &named) == 0 &&
            held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
            return fd;
        }
        close(fd);
    }
}

void UnlockEndpoint(int fd, const std::string& path) {
    unlink(path.c_str());
    close(fd);
}

int ListenAt(const std::string& path) {
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    sockaddr_un address = AddressOf(path);
    unlink(path.c_str());  // only reached while holding the id's lock: the file is stale
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        chmod(path.c_str(), 0600) != 0 || listen(fd, SOMAXCONN) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

HRESULT ConnectTo(const std::string& path, int* fd) {
    int s = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0) {
        return ResultFromErrno(errno);
    }
    sockaddr_un address = AddressOf(path);
    if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        int err = errno;
        close(s);
        return ResultFromErrno(err);
    }
    if (!PeerIsSameUser(s)) {
        close(s);
        return RH_E_ACCESS;
    }
    *fd = s;
    return S_OK;
}

bool PeerIsSameUser(int fd) {
    ucred peer = {};
    socklen_t size = sizeof peer;
    return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == geteuid();
}

HRESULT ResultFromErrno(int err) {
    switch (err) {
        case ENOENT:
        case ENOTDIR:
        case ECONNREFUSED:
            return RH_E_NO_ENDPOINT;
        case EPIPE:
        case ECONNRESET:
        case ECONNABORTED:
        case ENOTCONN:
            return RH_E_PEER_GONE;
        case EACCES:
        case EPERM:
            return RH_E_ACCESS;
        default:
            return RH_E_SYSTEM;
    }
}

}  // namespace relayhub
