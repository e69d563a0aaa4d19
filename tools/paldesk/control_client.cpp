#include "control_client.h"

#include <dirent.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "runtime/socket_send.h"
#include "runtime/unix_address.h"

namespace paldesk {
namespace {

// A connected socket, or -1 with the reason. A path too long for a socket address is reached
// through its folder, as the serving process binds it.
int Connect(const std::string& path, std::string& error) {
    const size_t slash = path.rfind('/');
    const pal::UnixAddress address(slash == std::string::npos ? "." : path.substr(0, slash),
                                   path.substr(slash + 1));
    if (!address.Valid()) {
        error = "socket path too long: " + path;
        return -1;
    }
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || connect(fd, address.Get(), address.Size()) != 0) {
        error = path + ": " + std::strerror(errno);
        if (fd >= 0) {
            close(fd);
        }
        return -1;
    }
    return fd;
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
    if (!pal::SendAll(fd, request + "\n")) {
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
