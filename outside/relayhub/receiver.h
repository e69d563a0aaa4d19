// The receiving half of an endpoint: one thread of its own accepts connections, reads call
// frames and delivers them one at a time to the endpoint's IMessageCallBack, then sends each
// reply. Deliveries of an endpoint never run at the same time.
//
// A call made on this thread (from inside OnMessage) waits through the same loop, so messages
// that arrive meanwhile are still delivered, nested in the waiting OnMessage: two processes
// calling each other from inside OnMessage do not deadlock.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <thread>
#include <vector>

#include <poll.h>

#include "buffers.h"
#include "frame.h"
#include "relayhub.h"
#include "wait.h"

namespace relayhub {

// Idle connections an endpoint keeps at most: beyond it the oldest idle one is closed for a newer
// one, so connections that callers open and leave cannot use up the process's descriptors. Well
// above what the callers' pools keep per process.
inline constexpr size_t kMaxIdleConnections = 128;

class Receiver final : public Waiter {
public:
    // Receives the calls addressed to endpoint `id` on listenFd.
    Receiver(int32_t id, int listenFd, IMessageCallBack* callback, BufferTable& buffers);
    ~Receiver();
    Receiver(const Receiver&) = delete;
    Receiver& operator=(const Receiver&) = delete;

    // Starts the thread; `owner` is kept alive until the thread has ended.
    bool Start(std::shared_ptr<void> owner);
    // Stops receiving. From another thread it waits until the thread has ended; from the
    // thread itself (inside OnMessage) the thread ends when that delivery has returned.
    void Stop();
    bool OnLoopThread() const;

    // On the loop thread: waits for fd while delivering what arrives.
    WaitResult Wait(int fd, short events, const Deadline& deadline) override;

private:
    struct Connection;
    struct Delivery;

    void Run();
    // One poll over every socket and the handling of what it reports; true when extraFd is
    // ready.
    bool Round(int extraFd, short extraEvents, int timeoutMs);
    void Accept();
    // On EMFILE or ENFILE: makes room for the connection that waits (closing the oldest idle
    // one), else takes it and closes it at once with the reserve descriptor, else stops
    // accepting for a moment. True when accepting may go on now.
    bool OutOfDescriptors();
    // Closes the oldest idle connection; false when none is idle.
    bool DropOldestIdle();
    size_t IdleConnections() const;
    // The poll time-out that also ends a pause of accepting.
    int WithAcceptPause(int timeoutMs) const;
    void Read(const std::shared_ptr<Connection>& c);
    void TakeBuffered(const std::shared_ptr<Connection>& c);
    void DeliverPending();
    void Deliver(Delivery& d);
    void Reply(Connection& c, uint64_t sequence, void* buffer, int32_t length);
    void Flush(Connection& c);
    void Drop(Connection& c);

    const int32_t id_;
    int listenFd_;
    int wakeFd_ = -1;
    int spareFd_ = -1;  // the reserve descriptor, given up for a moment when none is left
    IMessageCallBack* const callback_;
    BufferTable& buffers_;
    std::thread thread_;
    std::atomic<bool> stopping_{false};

    // Loop thread only.
    std::vector<std::shared_ptr<Connection>> connections_;
    std::deque<Delivery> pending_;
    std::vector<pollfd> polled_;
    std::chrono::steady_clock::time_point acceptResume_{};  // no accepting before it
    uint64_t activity_ = 0;  // counts reads, to tell the oldest idle connection
};

}  // namespace relayhub
