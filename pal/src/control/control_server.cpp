#include "control/control_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "control/control_requests.h"
#include "desktop/desktop_model.h"
#include "runtime/socket_send.h"
#include "runtime/unix_address.h"
#include "windows.h"

namespace pal::control {
namespace {

// A request longer than this is refused and its connection closed.
constexpr size_t kMaxRequest = 4096;
// How long an answer may wait for a peer that does not read it.
constexpr int kSendTimeoutMs = 2000;

struct Connection {
    int fd;
    std::string pending;  // bytes of a request not ended yet
};

// Only this user's processes may drive the desktop (the folder is private too).
bool SameUser(int fd) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == geteuid();
}

// Answers every whole request in the connection's buffer; false when it is to be closed.
bool AnswerPending(Connection& connection) {
    size_t end;
    while ((end = connection.pending.find('\n')) != std::string::npos) {
        std::string line = connection.pending.substr(0, end);
        connection.pending.erase(0, end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!SendAll(connection.fd, Answer(line))) {
            return false;
        }
    }
    if (connection.pending.size() > kMaxRequest) {
        SendAll(connection.fd, "ERR request longer than " + std::to_string(kMaxRequest) +
                                   " bytes\n");
        return false;
    }
    return true;
}

// Reads what came; false when the connection is to be closed.
bool Receive(Connection& connection) {
    char buffer[1024];
    ssize_t n = recv(connection.fd, buffer, sizeof buffer, 0);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
        return true;
    }
    if (n <= 0) {
        return false;
    }
    connection.pending.append(buffer, static_cast<size_t>(n));
    return AnswerPending(connection);
}

class Server {
public:
    static Server& Get() {
        static Server server;
        return server;
    }

    void ServeIn(const std::string& root) {
        std::lock_guard<std::mutex> guard(lock_);
        if (root.empty() || root == root_) {
            return;
        }
        std::string folder = root + "/control";
        std::string path = folder + "/" + std::to_string(getpid());
        int fd = PalPrivateFolder(folder) ? Listen(folder) : -1;
        if (fd < 0) {
            if (!warned_) {
                std::fprintf(stderr, "control socket %s: %s\n", path.c_str(), std::strerror(errno));
                warned_ = true;
            }
            return;
        }
        if (listening_ >= 0) {
            close(listening_);
            unlink(path_.c_str());
        }
        listening_ = fd;
        root_ = root;
        path_ = path;
        if (!thread_.joinable()) {
            thread_ = std::thread([this] { Run(); });
        } else {
            Wake();
        }
    }

    std::string Path() {
        std::lock_guard<std::mutex> guard(lock_);
        return path_;
    }

private:
    Server() {
        // Made after the desktop, so it is ended before it: the thread reads the desktop.
        Desktop::Get();
        if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) {
            wake_[0] = wake_[1] = -1;
        }
    }
    ~Server() {
        {
            std::lock_guard<std::mutex> guard(lock_);
            stopping_ = true;
            Wake();
        }
        if (thread_.joinable()) {
            thread_.join();
        }
        if (listening_ >= 0) {
            close(listening_);
            unlink(path_.c_str());
        }
        for (int fd : wake_) {
            if (fd >= 0) {
                close(fd);
            }
        }
    }

    void Wake() {
        char byte = 1;
        [[maybe_unused]] ssize_t n = write(wake_[1], &byte, 1);
    }

    // A socket bound to <folder>/<pid> and listening, or -1 with errno. A file of that name is
    // left by an earlier process of this id, which is gone now.
    static int Listen(const std::string& folder) {
        std::string name = std::to_string(getpid());
        UnixAddress address(folder, name);
        if (!address.Valid()) {
            errno = ENAMETOOLONG;
            return -1;
        }
        int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            return -1;
        }
        std::string path = folder + "/" + name;
        unlink(path.c_str());
        if (bind(fd, address.Get(), address.Size()) != 0 || chmod(path.c_str(), 0600) != 0 ||
            listen(fd, 8) != 0) {
            int error = errno;
            close(fd);
            errno = error;
            return -1;
        }
        return fd;
    }

    void Run() {
        std::vector<Connection> connections;
        for (;;) {
            int listening;
            {
                std::lock_guard<std::mutex> guard(lock_);
                if (stopping_) {
                    break;
                }
                listening = listening_;
            }
            std::vector<pollfd> fds{{wake_[0], POLLIN, 0}, {listening, POLLIN, 0}};
            for (const Connection& connection : connections) {
                fds.push_back({connection.fd, POLLIN, 0});
            }
            if (poll(fds.data(), fds.size(), -1) < 0) {
                if (errno == EINTR) {
                    continue;
                }
                break;
            }
            if (fds[0].revents) {
                char drain[64];
                while (read(wake_[0], drain, sizeof drain) > 0) {
                }
                continue;  // the listening socket may have changed
            }
            for (size_t i = connections.size(); i-- > 0;) {
                if (fds[i + 2].revents && !Receive(connections[i])) {
                    close(connections[i].fd);
                    connections.erase(connections.begin() + static_cast<long>(i));
                }
            }
            if (fds[1].revents & POLLIN) {
                Accept(listening, connections);
            }
        }
        for (const Connection& connection : connections) {
            close(connection.fd);
        }
    }

    static void Accept(int listening, std::vector<Connection>& connections) {
        int fd = accept4(listening, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            return;
        }
        if (!SameUser(fd)) {
            close(fd);
            return;
        }
        timeval timeout{kSendTimeoutMs / 1000, (kSendTimeoutMs % 1000) * 1000};
        setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
        connections.push_back(Connection{fd, {}});
    }

    std::mutex lock_;
    std::thread thread_;
    int wake_[2];
    int listening_ = -1;
    std::string root_;
    std::string path_;
    bool stopping_ = false;
    bool warned_ = false;
};

}  // namespace

void ServeIn(const std::string& root) {
    Server::Get().ServeIn(root);
}

std::string ServedPath() {
    return Server::Get().Path();
}

}  // namespace pal::control

std::string PalControlSocketPath() {
    return pal::control::ServedPath();
}
