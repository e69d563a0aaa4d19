// Test support: raw frames and a raw client socket, for tests that speak the wire format
// themselves.
#pragma once

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "frame.h"
#include "test_peer.h"

namespace relayhubtest {

inline std::vector<uint8_t> Hex(const std::string& text) {
    std::vector<uint8_t> out;
    std::string digits;
    for (char c : text) {
        if (c != ' ') {
            digits += c;
        }
    }
    for (size_t i = 0; i + 1 < digits.size(); i += 2) {
        out.push_back(static_cast<uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    }
    return out;
}

class RawClient {
public:
    explicit RawClient(const std::string& path) {
        fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
        connected_ = connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~RawClient() { close(fd_); }
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;

    bool Connected() const { return connected_; }
    bool Send(const std::vector<uint8_t>& bytes) {
        return send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
               static_cast<ssize_t>(bytes.size());
    }
    // Up to `size` bytes; fewer when the peer closes or the time-out passes.
    std::vector<uint8_t> Read(size_t size, int timeoutMs = 5000) {
        std::vector<uint8_t> out;
        while (out.size() < size) {
            pollfd p = {fd_, POLLIN, 0};
            if (poll(&p, 1, timeoutMs) <= 0) {
                break;
            }
            uint8_t chunk[4096];
            ssize_t n = recv(fd_, chunk, std::min(sizeof chunk, size - out.size()), 0);
            if (n <= 0) {
                break;
            }
            out.insert(out.end(), chunk, chunk + n);
        }
        return out;
    }
    // True when the other side closes the connection within the time-out.
    bool ClosedByPeer(int timeoutMs = 1000) {
        pollfd p = {fd_, POLLIN, 0};
        if (poll(&p, 1, timeoutMs) <= 0) {
            return false;
        }
        uint8_t byte;
        ssize_t n = recv(fd_, &byte, 1, 0);
        return n == 0 || (n < 0 && errno == ECONNRESET);
    }

private:
    int fd_ = -1;
    bool connected_ = false;
};

inline std::vector<uint8_t> EchoFrame(uint64_t sequence, const std::string& text) {
    relayhub::FrameHeader h;
    h.kind = relayhub::FrameKind::kCall;
    h.sequence = sequence;
    h.sender = 1;
    h.target = 4097;
    h.channel = kEcho;
    h.length = static_cast<uint32_t>(text.size());
    std::vector<uint8_t> out(relayhub::kFrameHeaderSize);
    relayhub::EncodeFrameHeader(h, out.data());
    out.insert(out.end(), text.begin(), text.end());
    return out;
}

}  // namespace relayhubtest
