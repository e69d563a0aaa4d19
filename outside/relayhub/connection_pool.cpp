#include "connection_pool.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "relayhub.h"
#include "socket_util.h"

namespace relayhub {

namespace {

constexpr size_t kIdlePerTarget = 8;

// An idle connection has nothing to read; data or a hang-up means its peer is gone or broken.
bool IsSound(int fd) {
    pollfd p = {fd, POLLIN, 0};
    return poll(&p, 1, 0) == 0;
}

}  // namespace

ConnectionPool::~ConnectionPool() {
    for (auto& [target, fd] : idle_) {
        close(fd);
    }
}

HRESULT ConnectionPool::Acquire(int32_t target, int* fd) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (shutdown_) {
            return RH_E_RELEASED;
        }
        for (auto it = idle_.find(target); it != idle_.end(); it = idle_.find(target)) {
            int candidate = it->second;
            idle_.erase(it);
            if (IsSound(candidate)) {
                busy_.insert(candidate);
                *fd = candidate;
                return S_OK;
            }
            close(candidate);
        }
    }
    int fresh = -1;
    HRESULT hr = ConnectTo(SocketPath(dir_, target), &fresh);
    if (FAILED(hr)) {
        return hr;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (shutdown_) {
        close(fresh);
        return RH_E_RELEASED;
    }
    busy_.insert(fresh);
    *fd = fresh;
    return S_OK;
}

void ConnectionPool::Return(int32_t target, int fd, bool reusable) {
    std::lock_guard<std::mutex> lock(mutex_);
    busy_.erase(fd);
    if (reusable && !shutdown_ && idle_.count(target) < kIdlePerTarget) {
        idle_.emplace(target, fd);
    } else {
        close(fd);
    }
}

void ConnectionPool::Shutdown() {
    std::lock_guard<std::mutex> lock(mutex_);
    shutdown_ = true;
    for (int fd : busy_) {
        shutdown(fd, SHUT_RDWR);
    }
    for (auto& [target, fd] : idle_) {
        close(fd);
    }
    idle_.clear();
}

bool ConnectionPool::IsShutdown() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return shutdown_;
}

}  // namespace relayhub
