#include "endpoint.h"

#include <unistd.h>

#include <cstring>

#include "com_object.h"
#include "exchange.h"
#include "socket_util.h"

namespace relayhub {

std::shared_ptr<Endpoint> Endpoint::Open(const std::string& dir, int32_t id,
                                         IMessageCallBack* receiver, BufferTable& buffers) {
    int lockFd = LockEndpoint(LockPath(dir, id));
    if (lockFd < 0) {
        return nullptr;
    }
    int listenFd = ListenAt(SocketPath(dir, id));
    if (listenFd < 0) {
        UnlockEndpoint(lockFd, LockPath(dir, id));
        return nullptr;
    }
    std::shared_ptr<Endpoint> endpoint(new Endpoint(dir, id, lockFd, listenFd, receiver, buffers));
    if (!endpoint->receiver_.Start(endpoint)) {
        unlink(endpoint->socketPath_.c_str());
        return nullptr;
    }
    return endpoint;
}

Endpoint::Endpoint(const std::string& dir, int32_t id, int lockFd, int listenFd,
                   IMessageCallBack* receiver, BufferTable& buffers)
    : id_(id),
      socketPath_(SocketPath(dir, id)),
      lockPath_(LockPath(dir, id)),
      lockFd_(lockFd),
      buffers_(buffers),
      pool_(dir),
      receiver_(id, listenFd, receiver, buffers) {}

Endpoint::~Endpoint() {
    if (lockFd_ >= 0) {
        UnlockEndpoint(lockFd_, lockPath_);
    }
}

void Endpoint::Close() {
    unlink(socketPath_.c_str());  // from now on a call to this id fails at once
    pool_.Shutdown();
    receiver_.Stop();
    UnlockEndpoint(lockFd_, lockPath_);
    lockFd_ = -1;
}

HRESULT Endpoint::QueryInterface(REFIID iid, void** out) {
    return QueryOwnInterface<ICallEndpoint>(this, IID_ICallEndpoint, iid, out);
}

HRESULT Endpoint::Call(int32_t target, int32_t reserved, int32_t channel, const void* payload,
                       int32_t length, void** reply, int32_t* replyLength, DWORD timeout) {
    if (length > 0 && !payload) {
        return E_INVALIDARG;
    }
    if (length > RH_MAX_PAYLOAD) {
        return RH_E_TOO_LARGE;
    }
    std::shared_ptr<Endpoint> keep = weak_from_this().lock();  // a concurrent release waits
    if (!keep) {
        return RH_E_RELEASED;
    }
    Deadline deadline = Deadline::After(timeout);
    FrameHeader h;
    h.kind = FrameKind::kCall;
    h.sequence = ++sequence_;
    h.sender = id_;
    h.target = target;
    h.reserved = reserved;
    h.channel = channel;
    h.length = length > 0 ? static_cast<uint32_t>(length) : 0;
    uint8_t header[kFrameHeaderSize];
    EncodeFrameHeader(h, header);

    int fd = -1;
    HRESULT hr = pool_.Acquire(target, &fd);
    if (FAILED(hr)) {
        return hr;
    }
    Frame frame;
    bool reusable = false;
    Waiter* waiter = receiver_.OnLoopThread() ? &receiver_ : nullptr;
    hr = Exchange(fd, header, payload, h.length, h.sequence, deadline, waiter, &frame, &reusable);
    pool_.Return(target, fd, SUCCEEDED(hr) && reusable);
    if (FAILED(hr)) {
        return pool_.IsShutdown() ? RH_E_RELEASED : hr;
    }
    return Finish(frame, reply, replyLength);
}

HRESULT Endpoint::Finish(const Frame& frame, void** reply, int32_t* replyLength) {
    if (frame.header.status != 0) {
        return frame.header.status;
    }
    void* buffer = nullptr;
    int32_t length = 0;
    if (frame.header.flags & kReplyHasBuffer) {
        length = static_cast<int32_t>(frame.payload.size());
        buffer = buffers_.Alloc(length);
        if (!buffer) {
            return E_OUTOFMEMORY;
        }
        if (length > 0) {
            std::memcpy(buffer, frame.payload.data(), frame.payload.size());
        }
    }
    if (reply) {
        *reply = buffer;
    } else {
        buffers_.Free(buffer);
    }
    if (replyLength) {
        *replyLength = length;
    }
    return S_OK;
}

}  // namespace relayhub
