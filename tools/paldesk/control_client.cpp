#include "control_client.h"

#include <dirent.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace paldesk {
namespace {

// A connected socket, or -1 with the reason.
int Connect(const std::string& path, std::string& error) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        error = "socket path too long: " + path;
        return -1;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        error = path + ": " + std::strerror(errno);
        if (fd >= 0) {
            close(fd);
        }
        return -1;
    }
    return fd;
}

bool SendAll(int fd, const std::string& text) {
    size_t sent = 0;
    while (sent < text.size()) {
        ssize_t n = send(fd, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        sent += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

std::vector<std::string> SocketPaths(const std::string& root) {
    std::vector<std::pair<long, std::string>> found;
    std::string folder = root + "/control";
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            char* end = nullptr;
            long pid = std::strtol(entry->d_name, &end, 10);
            if (end != entry->d_name && *end == '\0') {
                found.emplace_back(pid, folder + "/" + entry->d_name);
            }
        }
        closedir(dir);
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> paths;
    for (auto& [pid, path] : found) {
        paths.push_back(std::move(path));
    }
    return paths;
}

Answer Ask(const std::string& socketPath, const std::string& request) {
    Answer answer;
    int fd = Connect(socketPath, answer.error);
    if (fd < 0) {
        return answer;
    }
    if (!SendAll(fd, request + "\n")) {
        answer.error = "cannot send the request: " + std::string(std::strerror(errno));
        close(fd);
        return answer;
    }
    std::string received;
    char buffer[4096];
    for (;;) {
        size_t end;
        while ((end = received.find('\n')) != std::string::npos) {
            std::string line = received.substr(0, end);
            received.erase(0, end + 1);
            if (line == "OK") {
                answer.answered = answer.ok = true;
                close(fd);
                return answer;
            }
            if (line.rfind("ERR ", 0) == 0) {
                answer.answered = true;
                answer.error = line.substr(4);
                close(fd);
                return answer;
            }
            answer.lines.push_back(line);
        }
        ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            answer.error = "the answer was cut off";
            close(fd);
            return answer;
        }
        received.append(buffer, static_cast<size_t>(n));
    }
}

}  // namespace paldesk
