#include "exchange.h"

#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>

#include "relayhub.h"
#include "socket_util.h"

namespace relayhub {

namespace {

constexpr size_t kReadChunk = 4096;  // the least room offered to one read

class Transfer {
public:
    Transfer(int fd, const Deadline& deadline, Waiter* waiter)
        : fd_(fd),
          deadline_(deadline),
          waiter_(waiter),
          blocking_(!waiter && !deadline.Limited()) {}

    HRESULT Send(const uint8_t* header, const void* payload, size_t length);
    HRESULT Receive(uint64_t sequence, Frame* reply, bool* reusable);

private:
    HRESULT Wait(short events) {
        WaitResult r =
            waiter_ ? waiter_->Wait(fd_, events, deadline_) : PollWait(fd_, events, deadline_);
        return r == WaitResult::kReady     ? S_OK
               : r == WaitResult::kTimeout ? RH_E_TIMEOUT
                                           : RH_E_RELEASED;
    }

    int fd_;
    const Deadline& deadline_;
    Waiter* waiter_;
    bool blocking_;
};

HRESULT Transfer::Send(const uint8_t* header, const void* payload, size_t length) {
    iovec parts[2] = {{const_cast<uint8_t*>(header), kFrameHeaderSize},
                      {const_cast<void*>(payload), length}};
    msghdr message = {};
    message.msg_iov = parts;
    message.msg_iovlen = length > 0 ? 2 : 1;
    int flags = MSG_NOSIGNAL | (blocking_ ? 0 : MSG_DONTWAIT);
    while (message.msg_iovlen > 0) {
        ssize_t n = sendmsg(fd_, &message, flags);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            if (errno != EAGAIN && errno != EWOULDBLOCK) {
                return ResultFromErrno(errno);
            }
            HRESULT hr = Wait(POLLOUT);
            if (FAILED(hr)) {
                return hr;
            }
            continue;
        }
        size_t done = static_cast<size_t>(n);
        while (message.msg_iovlen > 0 && done >= message.msg_iov->iov_len) {
            done -= message.msg_iov->iov_len;
            ++message.msg_iov;
            --message.msg_iovlen;
        }
        if (message.msg_iovlen > 0) {
            message.msg_iov->iov_base = static_cast<uint8_t*>(message.msg_iov->iov_base) + done;
            message.msg_iov->iov_len -= done;
        }
    }
    return S_OK;
}

HRESULT Transfer::Receive(uint64_t sequence, Frame* reply, bool* reusable) {
    FrameReader reader(FrameKind::kReply);
    for (;;) {
        DecodeStatus status = reader.Next(reply);
        if (status == DecodeStatus::kFrame) {
            if (reply->header.sequence == sequence) {
                *reusable = reader.Buffered() == 0;
                return S_OK;
            }
            if (reply->header.sequence < sequence) {
                continue;  // the late reply of an abandoned call: dropped with its bytes
            }
            return RH_E_PROTOCOL;
        }
        if (status != DecodeStatus::kNeedMore) {
            return RH_E_PROTOCOL;
        }
        if (!blocking_) {
            HRESULT hr = Wait(POLLIN);
            if (FAILED(hr)) {
                return hr;
            }
        }
        size_t want = std::max(reader.Missing(), kReadChunk);
        ssize_t n = recv(fd_, reader.Space(want), want, blocking_ ? 0 : MSG_DONTWAIT);
        if (n > 0) {
            reader.Commit(static_cast<size_t>(n));
        } else if (n == 0) {
            return RH_E_PEER_GONE;
        } else if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) {
            return ResultFromErrno(errno);
        }
    }
}

}  // namespace

HRESULT Exchange(int fd, const uint8_t* header, const void* payload, size_t length,
                 uint64_t sequence, const Deadline& deadline, Waiter* waiter, Frame* reply,
                 bool* reusable) {
    *reusable = false;
    Transfer transfer(fd, deadline, waiter);
    HRESULT hr = transfer.Send(header, payload, length);
    return FAILED(hr) ? hr : transfer.Receive(sequence, reply, reusable);
}

}  // namespace relayhub
