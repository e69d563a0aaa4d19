// The receiver's taking of new connections, bounded and safe when the process runs out of
// descriptors: it never spins on a listening socket it cannot accept from.
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "receiver.h"
#include "receiver_connection.h"
#include "socket_util.h"

namespace relayhub {

namespace {

// How long accepting stops when no descriptor can be found for a waiting connection.
constexpr auto kAcceptPause = std::chrono::milliseconds(100);

int OpenSpare() {
    return open("/dev/null", O_RDONLY | O_CLOEXEC);
}

}  // namespace

void Receiver::Accept() {
    if (spareFd_ < 0) {
        spareFd_ = OpenSpare();
    }
    for (;;) {
        int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || ((errno == EMFILE || errno == ENFILE) && OutOfDescriptors())) {
                continue;
            }
            return;
        }
        if (!PeerIsSameUser(fd)) {
            close(fd);
            continue;
        }
        auto c = std::make_shared<Connection>(fd);
        c->lastActive = ++activity_;
        connections_.push_back(std::move(c));
        if (IdleConnections() > kMaxIdleConnections) {
            DropOldestIdle();
        }
    }
}

bool Receiver::OutOfDescriptors() {
    if (DropOldestIdle()) {
        return true;
    }
    if (spareFd_ >= 0) {
        // Every connection is at work: the waiting one is taken with the reserve descriptor and
        // closed, so its caller fails at once instead of waiting in the backlog.
        close(spareFd_);
        int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0) {
            close(fd);
        }
        spareFd_ = OpenSpare();
        if (fd >= 0) {
            return true;
        }
    }
    acceptResume_ = std::chrono::steady_clock::now() + kAcceptPause;
    return false;
}

bool Receiver::DropOldestIdle() {
    Connection* oldest = nullptr;
    for (auto& c : connections_) {
        if (c->Idle() && (!oldest || c->lastActive < oldest->lastActive)) {
            oldest = c.get();
        }
    }
    if (!oldest) {
        return false;
    }
    Drop(*oldest);
    return true;
}

size_t Receiver::IdleConnections() const {
    return static_cast<size_t>(std::count_if(connections_.begin(), connections_.end(),
                                             [](const auto& c) { return c->Idle(); }));
}

int Receiver::WithAcceptPause(int timeoutMs) const {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    acceptResume_ - std::chrono::steady_clock::now())
                    .count();
    if (left <= 0) {
        return timeoutMs;
    }
    int pause = static_cast<int>(left) + 1;
    return timeoutMs < 0 ? pause : std::min(timeoutMs, pause);
}

}  // namespace relayhub
