#include "window/post_inbox.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "file/file_error.h"
#include "kernel/layer_thread.h"
#include "window/post_wire.h"
#include "process/process_identity.h"
#include "runtime/unix_address.h"
#include "window/window_handle.h"
#include "window/window_object.h"
#include "window/window_registry.h"

namespace pal {
namespace {

// A sender waits this long for room in a full inbox (a burst of posts faster than the listener
// reads them) before the post fails.
constexpr int kFullInboxWaitMs = 2000;

struct Inbox {
    int fd;
    int windows;
    std::string path;
};

struct Listener {
    std::mutex lock;
    std::map<std::string, Inbox> inboxes;  // by runtime root
    std::vector<int> closing;              // closed by the listener thread, between its polls
    int wake[2] = {-1, -1};
    bool started = false;
};

Listener& TheListener() {
    static Listener* listener = new Listener;  // outlives every static destructor
    return *listener;
}

void Wake(Listener& listener) {
    char byte = 1;
    (void)!write(listener.wake[1], &byte, 1);  // a full pipe has woken the thread already
}

void Deliver(const std::string& root, const PostedMessage& post) {
    auto window = FindWindowObject(WindowFromValue(post.hwnd));
    if (window && window->root == root) {
        window->Post(post.message, post.wParam, post.lParam);
    }
}

// The sender's user, from the credentials the kernel attaches to every datagram of an inbox
// (SO_PASSCRED); -1 when none came.
long long SenderUid(msghdr& header) {
    for (cmsghdr* c = CMSG_FIRSTHDR(&header); c; c = CMSG_NXTHDR(&header, c)) {
        if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_CREDENTIALS &&
            c->cmsg_len >= CMSG_LEN(sizeof(ucred))) {
            ucred sender;
            std::memcpy(&sender, CMSG_DATA(c), sizeof sender);
            return sender.uid;
        }
    }
    return -1;
}

void ReadPosts(const std::string& root, int fd) {
    char datagram[kPostWireSize + 1];
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(ucred))];
    for (;;) {
        iovec part{datagram, sizeof datagram};
        msghdr header{};
        header.msg_iov = &part;
        header.msg_iovlen = 1;
        header.msg_control = control;
        header.msg_controllen = sizeof control;
        // MSG_TRUNC gives a longer datagram's real size, so it is dropped, not read cut.
        ssize_t got = recvmsg(fd, &header, MSG_DONTWAIT | MSG_TRUNC | MSG_CMSG_CLOEXEC);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return;
        }
        if (static_cast<size_t>(got) != kPostWireSize) {
            continue;
        }
        if (SenderUid(header) != static_cast<long long>(geteuid())) {
            continue;  // only processes of this user post to our windows
        }
        if (auto post = DecodePost(std::string_view(datagram, kPostWireSize))) {
            Deliver(root, *post);
        }
    }
}

void* Listen(void*) {
    Listener& listener = TheListener();
    std::vector<pollfd> fds;
    std::vector<std::string> roots;
    for (;;) {
        fds.assign(1, pollfd{listener.wake[0], POLLIN, 0});
        roots.assign(1, std::string());
        {
            std::lock_guard<std::mutex> guard(listener.lock);
            for (const auto& [root, inbox] : listener.inboxes) {
                fds.push_back(pollfd{inbox.fd, POLLIN, 0});
                roots.push_back(root);
            }
        }
        if (poll(fds.data(), fds.size(), -1) < 0) {
            continue;  // EINTR
        }
        for (size_t i = 1; i < fds.size(); ++i) {
            if (fds[i].revents & POLLIN) {
                ReadPosts(roots[i], fds[i].fd);
            }
        }
        if (fds[0].revents & POLLIN) {
            char drain[64];
            while (read(listener.wake[0], drain, sizeof drain) > 0) {
            }
            std::lock_guard<std::mutex> guard(listener.lock);
            for (int fd : listener.closing) {
                close(fd);
            }
            listener.closing.clear();
        }
    }
    return nullptr;
}

DWORD StartLocked(Listener& listener) {
    if (listener.started) {
        return ERROR_SUCCESS;
    }
    if (listener.wake[0] < 0 && pipe2(listener.wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    if (!StartLayerThread(&Listen)) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    listener.started = true;
    return ERROR_SUCCESS;
}

int MakeSocket() {
    return socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
}

}  // namespace

DWORD JoinInbox(const std::string& root) {
    Listener& listener = TheListener();
    std::lock_guard<std::mutex> guard(listener.lock);
    auto it = listener.inboxes.find(root);
    if (it != listener.inboxes.end()) {
        ++it->second.windows;
        return ERROR_SUCCESS;
    }
    if (DWORD error = StartLocked(listener)) {
        return error;
    }
    std::string folder = InboxFolder(root);
    if (!PalPrivateFolder(folder)) {
        return fs::ErrorFromErrno(errno);
    }
    std::string name = InboxName(getpid(), OwnProcessStart());
    std::string path = folder + "/" + name;
    UnixAddress address(folder, name);
    int fd = MakeSocket();
    if (fd < 0 || !address.Valid()) {
        DWORD error = fd < 0 ? ERROR_NOT_ENOUGH_MEMORY : ERROR_PATH_NOT_FOUND;
        if (fd >= 0) {
            close(fd);
        }
        return error;
    }
    unlink(path.c_str());  // an inbox this process had before and left
    int passCredentials = 1;
    if (setsockopt(fd, SOL_SOCKET, SO_PASSCRED, &passCredentials, sizeof passCredentials) != 0 ||
        bind(fd, address.Get(), address.Size()) != 0 || chmod(path.c_str(), 0600) != 0) {
        DWORD error = fs::ErrorFromErrno(errno);
        close(fd);
        unlink(path.c_str());
        return error;
    }
    listener.inboxes[root] = Inbox{fd, 1, path};
    Wake(listener);
    return ERROR_SUCCESS;
}

void LeaveInbox(const std::string& root) {
    Listener& listener = TheListener();
    std::lock_guard<std::mutex> guard(listener.lock);
    auto it = listener.inboxes.find(root);
    if (it == listener.inboxes.end() || --it->second.windows > 0) {
        return;
    }
    unlink(it->second.path.c_str());
    listener.closing.push_back(it->second.fd);
    listener.inboxes.erase(it);
    Wake(listener);
}

DWORD SendPost(const std::string& root, const WindowEntry& target, UINT message, WPARAM wParam,
               LPARAM lParam) {
    UnixAddress address(InboxFolder(root), InboxName(target.pid, target.processStart));
    int fd = MakeSocket();
    if (fd < 0) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    // Connected, so that poll tells when a full inbox has room again.
    if (!address.Valid() || connect(fd, address.Get(), address.Size()) != 0) {
        close(fd);
        return ERROR_INVALID_WINDOW_HANDLE;
    }
    auto bytes = EncodePost(PostedMessage{target.hwnd, message, wParam, lParam});
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kFullInboxWaitMs);
    DWORD result = ERROR_SUCCESS;
    for (;;) {
        if (send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
            static_cast<ssize_t>(bytes.size())) {
            break;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            result = ERROR_INVALID_WINDOW_HANDLE;  // the inbox went: its process has ended
            break;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
        if (left <= 0) {
            result = ERROR_NOT_ENOUGH_QUOTA;
            break;
        }
        pollfd ready{fd, POLLOUT, 0};
        poll(&ready, 1, static_cast<int>(left));
    }
    close(fd);
    return result;
}

}  // namespace pal
