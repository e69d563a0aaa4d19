// The receiver's state of one incoming connection, and a call waiting for its delivery.
#pragma once

#include <unistd.h>

#include <memory>
#include <vector>

#include "frame.h"
#include "receiver.h"

namespace relayhub {

struct Receiver::Connection {
    explicit Connection(int socket) : fd(socket) {}
    ~Connection() {
        if (!closed) {
            close(fd);
        }
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool Unsent() const { return sent < unsent.size(); }
    // Open, with no call under way and no part of one received.
    bool Idle() const { return !closed && !busy && !Unsent() && reader.Buffered() == 0; }

    int fd;
    bool closed = false;
    // A call of this connection waits for its delivery or its reply is still being sent: the
    // connection is not read meanwhile, so a caller can have only one call delivered at a time.
    bool busy = false;
    FrameReader reader{FrameKind::kCall};
    uint64_t lastActive = 0;      // the receiver's activity count at its last read
    std::vector<uint8_t> unsent;  // the part of a reply the socket did not take at once
    size_t sent = 0;
};

struct Receiver::Delivery {
    std::shared_ptr<Connection> connection;
    Frame frame;
};

}  // namespace relayhub
