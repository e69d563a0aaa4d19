// The receiver's reading of calls and sending of replies, all without blocking.
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "receiver.h"
#include "receiver_connection.h"

namespace relayhub {

namespace {

// Room offered to one read: at least a page, at most what a large frame still needs in pieces
// of 256 KiB, so that a header alone never makes the receiver reserve a whole payload.
size_t ReadRoom(const FrameReader& reader) {
    return std::clamp(reader.Missing(), size_t{4096}, size_t{256 * 1024});
}

}  // namespace

void Receiver::Read(const std::shared_ptr<Connection>& c) {
    for (;;) {
        TakeBuffered(c);
        if (c->busy || c->closed) {
            return;
        }
        size_t room = ReadRoom(c->reader);
        ssize_t n = recv(c->fd, c->reader.Space(room), room, MSG_DONTWAIT);
        if (n > 0) {
            c->reader.Commit(static_cast<size_t>(n));
            c->lastActive = ++activity_;
        } else if (n == 0 || (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK)) {
            Drop(*c);
            return;
        } else if (errno != EINTR) {
            return;
        }
    }
}

void Receiver::TakeBuffered(const std::shared_ptr<Connection>& c) {
    if (c->busy || c->closed) {
        return;
    }
    Frame frame;
    DecodeStatus status = c->reader.Next(&frame);
    if (status == DecodeStatus::kFrame && frame.header.target != id_) {
        Drop(*c);  // a call for another endpoint is not this one's to answer
    } else if (status == DecodeStatus::kFrame) {
        c->busy = true;
        pending_.push_back(Delivery{c, std::move(frame)});
    } else if (status != DecodeStatus::kNeedMore) {
        Drop(*c);  // malformed or oversized: this connection is closed, the others go on
    }
}

void Receiver::Reply(Connection& c, uint64_t sequence, void* buffer, int32_t length) {
    FrameHeader h;
    h.kind = FrameKind::kReply;
    h.sequence = sequence;
    size_t size = 0;
    bool ours = buffer && buffers_.Take(buffer, &size);
    if (buffer && (!ours || length < 0 || static_cast<size_t>(length) > size)) {
        h.status = RH_E_BAD_REPLY;  // a foreign buffer is left alone, one of ours is freed
    } else if (buffer) {
        h.flags = kReplyHasBuffer;
        h.length = static_cast<uint32_t>(length);
    }
    uint8_t header[kFrameHeaderSize];
    EncodeFrameHeader(h, header);
    if (!c.closed) {
        iovec parts[2] = {{header, sizeof header}, {buffer, h.length}};
        msghdr message = {};
        message.msg_iov = parts;
        message.msg_iovlen = h.length > 0 ? 2 : 1;
        ssize_t n;
        do {
            n = sendmsg(c.fd, &message, MSG_DONTWAIT | MSG_NOSIGNAL);
        } while (n < 0 && errno == EINTR);
        size_t total = sizeof header + h.length;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            Drop(c);
        } else if (n >= 0 && static_cast<size_t>(n) == total) {
            c.busy = false;
        } else {
            // Keep the rest for the loop to send when the socket has room again.
            size_t done = n > 0 ? static_cast<size_t>(n) : 0;
            c.unsent.clear();
            c.sent = 0;
            for (size_t i = 0; i < message.msg_iovlen; ++i) {
                const uint8_t* bytes = static_cast<const uint8_t*>(parts[i].iov_base);
                size_t skip = std::min(done, parts[i].iov_len);
                c.unsent.insert(c.unsent.end(), bytes + skip, bytes + parts[i].iov_len);
                done -= skip;
            }
        }
    }
    if (ours) {
        std::free(buffer);
    }
}

void Receiver::Flush(Connection& c) {
    while (c.Unsent()) {
        ssize_t n = send(c.fd, c.unsent.data() + c.sent, c.unsent.size() - c.sent,
                         MSG_DONTWAIT | MSG_NOSIGNAL);
        if (n > 0) {
            c.sent += static_cast<size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return;
        } else {
            Drop(c);
            return;
        }
    }
    std::vector<uint8_t>().swap(c.unsent);
    c.sent = 0;
    c.busy = false;
}

void Receiver::Drop(Connection& c) {
    if (!c.closed) {
        c.closed = true;
        close(c.fd);
    }
}

}  // namespace relayhub
