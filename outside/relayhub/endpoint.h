// An endpoint: the registration of one id (its lock and socket files), its receiver thread and
// its connections for outgoing calls.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "buffers.h"
#include "connection_pool.h"
#include "receiver.h"
#include "relayhub.h"

namespace relayhub {

class Endpoint final : public ICallEndpoint, public std::enable_shared_from_this<Endpoint> {
public:
    // Registers `id` in `dir`; null when a live endpoint of the id exists or on failure.
    static std::shared_ptr<Endpoint> Open(const std::string& dir, int32_t id,
                                          IMessageCallBack* receiver, BufferTable& buffers);
    ~Endpoint();

    // Removes the socket, ends the calls in flight, stops the receiver (waiting for a delivery
    // in progress unless called from inside it) and gives up the id.
    void Close();

    HRESULT QueryInterface(REFIID iid, void** out) override;
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT Call(int32_t target, int32_t reserved, int32_t channel, const void* payload,
                 int32_t length, void** reply, int32_t* replyLength, DWORD timeout) override;

private:
    Endpoint(const std::string& dir, int32_t id, int lockFd, int listenFd,
             IMessageCallBack* receiver, BufferTable& buffers);

    HRESULT Finish(const Frame& frame, void** reply, int32_t* replyLength);

    const int32_t id_;
    const std::string socketPath_;
    const std::string lockPath_;
    int lockFd_;
    BufferTable& buffers_;
    ConnectionPool pool_;
    Receiver receiver_;
    std::atomic<uint64_t> sequence_{0};
};

}  // namespace relayhub
