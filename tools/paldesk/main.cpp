// paldesk: drives and observes a running program's headless desktop through its control socket
// (README.md has the usage).
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "control_client.h"
#include "windows.h"

namespace {

// Exit codes: the request failed (ERR), or it could not be made (usage, no process).
constexpr int kRefused = 1;
constexpr int kUnusable = 2;

int Usage() {
    std::fprintf(stderr,
                 "usage: paldesk list\n"
                 "       paldesk [-p PID] REQUEST [ARGUMENT...]\n"
                 "requests: ping, move X Y, down|up|click left|right X Y, key down|up|press KEY,\n"
                 "          windows, save-screen PATH, save-window HWND PATH, menu, tray, boxes\n");
    return kUnusable;
}

std::string PidOf(const std::string& socketPath) {
    return socketPath.substr(socketPath.find_last_of('/') + 1);
}

// Every process of the root that answers, one line each.
int List(const std::string& root) {
    for (const std::string& path : paldesk::SocketPaths(root)) {
        paldesk::Answer answer = paldesk::Ask(path, "ping");
        if (answer.ok && !answer.lines.empty()) {
            std::printf("%s\n", answer.lines[0].c_str());
        }  // a socket nobody answers on is left by a process that has ended
    }
    return 0;
}

// The socket of -p PID, else the root's only live one.
std::string Choose(const std::string& root, const std::string& pid, std::string& error) {
    if (!pid.empty()) {
        if (pid.find_first_not_of("0123456789") != std::string::npos) {
            error = "not a process id: " + pid;
            return {};
        }
        return root + "/control/" + pid;
    }
    std::string chosen;
    for (const std::string& path : paldesk::SocketPaths(root)) {
        if (!paldesk::Ask(path, "ping").ok) {
            continue;
        }
        if (!chosen.empty()) {
            error = "several processes serve a control socket (see paldesk list); choose with -p";
            return {};
        }
        chosen = path;
    }
    if (chosen.empty()) {
        error = "no process serves a control socket in " + root;
    }
    return chosen;
}

// The serving process writes the file; a path relative to here is made absolute first.
std::string Absolute(const std::string& path) {
    if (path.empty() || path[0] == '/') {
        return path;
    }
    char cwd[PATH_MAX];
    return getcwd(cwd, sizeof cwd) ? std::string(cwd) + "/" + path : path;
}

std::string RequestLine(int argc, char** argv, int first) {
    std::string request = argv[first];
    int pathAt = request == "save-screen" ? first + 1 : request == "save-window" ? first + 2 : 0;
    for (int i = first + 1; i < argc; ++i) {
        request += std::string(" ") + (i == pathAt ? Absolute(argv[i]) : argv[i]);
    }
    return request;
}

}  // namespace

int main(int argc, char** argv) {
    std::string root = PalRuntimeDir();
    if (root.empty()) {
        std::fprintf(stderr, "paldesk: no runtime root\n");
        return kUnusable;
    }
    int first = 1;
    std::string pid;
    if (argc > 1 && std::strcmp(argv[1], "-p") == 0) {
        if (argc < 3) {
            return Usage();
        }
        pid = argv[2];
        first = 3;
    }
    if (first >= argc) {
        return Usage();
    }
    if (std::strcmp(argv[first], "list") == 0) {
        return first + 1 == argc ? List(root) : Usage();
    }
    std::string error;
    std::string socket = Choose(root, pid, error);
    if (socket.empty()) {
        std::fprintf(stderr, "paldesk: %s\n", error.c_str());
        return kUnusable;
    }
    paldesk::Answer answer = paldesk::Ask(socket, RequestLine(argc, argv, first));
    for (const std::string& line : answer.lines) {
        std::printf("%s\n", line.c_str());
    }
    if (!answer.ok) {
        std::fprintf(stderr, "paldesk: process %s: %s\n", PidOf(socket).c_str(),
                     answer.error.c_str());
        return answer.answered ? kRefused : kUnusable;
    }
    return 0;
}
