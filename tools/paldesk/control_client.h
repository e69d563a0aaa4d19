// One connection to a process's control socket: a request line out, its answer back.
#pragma once

#include <string>
#include <vector>

namespace paldesk {

struct Answer {
    std::vector<std::string> lines;  // the data lines
    bool answered = false;  // an "OK" or "ERR" line came
    bool ok = false;
    std::string error;  // the reason after "ERR ", or what kept the request from being answered
};

// The control sockets of the runtime root, by process id, in the order of their ids.
std::vector<std::string> SocketPaths(const std::string& root);

// Sends the request and reads its answer; !ok with the reason when the socket cannot be reached
// or the answer is cut off.
Answer Ask(const std::string& socketPath, const std::string& request);

}  // namespace paldesk
