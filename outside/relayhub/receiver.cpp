#include "receiver.h"

#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "call_message.h"
#include "receiver_connection.h"
#include "socket_util.h"
#include "windows.h"

namespace relayhub {

namespace {
thread_local const Receiver* t_loop = nullptr;
}

Receiver::Receiver(int32_t id, int listenFd, IMessageCallBack* callback, BufferTable& buffers)
    : id_(id), listenFd_(listenFd), callback_(callback), buffers_(buffers) {}

Receiver::~Receiver() {
    if (listenFd_ >= 0) {
        close(listenFd_);
    }
    if (wakeFd_ >= 0) {
        close(wakeFd_);
    }
    if (spareFd_ >= 0) {
        close(spareFd_);
    }
}

bool Receiver::Start(std::shared_ptr<void> owner) {
    wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd_ < 0) {
        return false;
    }
    callback_->AddRef();
    try {
        thread_ = std::thread([this, keep = std::move(owner)]() mutable {
            Run();
            keep.reset();  // may delete this receiver: nothing of it is touched afterwards
        });
    } catch (const std::system_error&) {
        callback_->Release();
        return false;
    }
    return true;
}

void Receiver::Stop() {
    stopping_ = true;
    if (OnLoopThread()) {
        thread_.detach();
        return;
    }
    uint64_t one = 1;
    ssize_t written = write(wakeFd_, &one, sizeof one);
    (void)written;  // a full counter wakes the loop as well
    if (thread_.joinable()) {
        thread_.join();
    }
}

bool Receiver::OnLoopThread() const {
    return t_loop == this;
}

void Receiver::Run() {
    // Deliveries run the receiving program's code here: with an alternate signal stack, a stack
    // overflow in it still reaches that program's exception filter.
    PalEnsureCrashStack();
    t_loop = this;
    while (!stopping_) {
        Round(-1, 0, pending_.empty() ? -1 : 0);
        DeliverPending();
    }
    for (auto& c : connections_) {
        Drop(*c);
    }
    connections_.clear();
    pending_.clear();
    close(listenFd_);
    listenFd_ = -1;
    t_loop = nullptr;
    callback_->Release();
}

WaitResult Receiver::Wait(int fd, short events, const Deadline& deadline) {
    for (;;) {
        if (stopping_) {
            return WaitResult::kStopped;
        }
        if (Round(fd, events, pending_.empty() ? deadline.PollTimeout() : 0)) {
            return WaitResult::kReady;
        }
        if (deadline.Passed()) {
            return WaitResult::kTimeout;
        }
        DeliverPending();
    }
}

bool Receiver::Round(int extraFd, short extraEvents, int timeoutMs) {
    polled_.clear();
    polled_.push_back({wakeFd_, POLLIN, 0});
    bool accepting = std::chrono::steady_clock::now() >= acceptResume_;
    polled_.push_back({listenFd_, static_cast<short>(accepting ? POLLIN : 0), 0});
    std::vector<std::shared_ptr<Connection>> polledConnections = connections_;
    for (auto& c : polledConnections) {
        short events = static_cast<short>((c->busy ? 0 : POLLIN) | (c->Unsent() ? POLLOUT : 0));
        polled_.push_back({c->fd, events, 0});
    }
    if (extraFd >= 0) {
        polled_.push_back({extraFd, extraEvents, 0});
    }
    int n = poll(polled_.data(), polled_.size(), WithAcceptPause(timeoutMs));
    if (n <= 0) {
        return false;
    }
    if (polled_[0].revents) {
        uint64_t count;
        ssize_t got = read(wakeFd_, &count, sizeof count);
        (void)got;
    }
    if (accepting && (polled_[1].revents & POLLIN)) {
        Accept();
    }
    for (size_t i = 0; i < polledConnections.size(); ++i) {
        short r = polled_[i + 2].revents;
        auto& c = polledConnections[i];
        if (!c->closed && (r & POLLOUT)) {
            Flush(*c);
            TakeBuffered(c);
        }
        if (!c->closed && (r & POLLIN)) {
            Read(c);
        }
        if (!c->closed && (r & (POLLHUP | POLLERR)) && !(r & POLLIN)) {
            Drop(*c);  // the caller left; a delivery of its call needs no reply any more
        }
    }
    std::erase_if(connections_, [](const auto& c) { return c->closed; });
    return extraFd >= 0 && polled_.back().revents != 0;
}

void Receiver::DeliverPending() {
    while (!pending_.empty() && !stopping_) {
        Delivery d = std::move(pending_.front());
        pending_.pop_front();
        Deliver(d);
    }
}

void Receiver::Deliver(Delivery& d) {
    if (d.connection->closed) {
        return;  // its caller has gone: nobody waits for this call any more
    }
    CallMessage message(d.frame);
    callback_->OnMessage(&message);
    Reply(*d.connection, d.frame.header.sequence, message.Reply(), message.ReplyLength());
    TakeBuffered(d.connection);
}

}  // namespace relayhub
