// A bare round trip over a Unix domain socket, without the call center: the yardstick for the
// call center's latency. The server answers every 16-byte request with a 4-byte reply; blocking
// reads and writes, nothing else. Header only, for benchmarks that run both ends in two
// processes (for example one forked from the other).
#pragma once

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace relayhubtest {

inline constexpr size_t kRequestSize = 16;
inline constexpr size_t kReplySize = 4;

inline bool WriteAll(int fd, const void* data, size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = send(fd, p, size, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

inline bool ReadAll(int fd, void* data, size_t size) {
    char* p = static_cast<char*>(data);
    while (size > 0) {
        ssize_t n = recv(fd, p, size, 0);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

inline sockaddr_un Address(const std::string& path) {
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    return address;
}

// A listening socket at path, replacing a file there; -1 on failure.
inline int Listen(const std::string& path) {
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address = Address(path);
    unlink(path.c_str());
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(fd, 1) != 0) {
        if (fd >= 0) {
            close(fd);
        }
        return -1;
    }
    return fd;
}

// Accepts one connection and answers its requests until it closes; the round trips served.
inline long Serve(int listenFd) {
    int fd = accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    long served = 0;
    uint8_t request[kRequestSize];
    uint8_t reply[kReplySize] = {1, 0, 0, 0};
    while (ReadAll(fd, request, sizeof request) && WriteAll(fd, reply, sizeof reply)) {
        ++served;
    }
    close(fd);
    return served;
}

// A connection to the server at path; -1 on failure.
inline int Connect(const std::string& path) {
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address = Address(path);
    if (fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// One round trip; false when the connection broke.
inline bool RoundTrip(int fd) {
    uint8_t request[kRequestSize] = {};
    uint8_t reply[kReplySize];
    return WriteAll(fd, request, sizeof request) && ReadAll(fd, reply, sizeof reply);
}

}  // namespace relayhubtest
