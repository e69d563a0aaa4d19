// The call center of one directory: creates and releases its endpoints and keeps its reply
// buffers. One object per directory and process, living as long as the process.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "buffers.h"
#include "endpoint.h"
#include "relayhub.h"

namespace relayhub {

class CallCenter final : public ICallCenter {
public:
    explicit CallCenter(std::string dir) : dir_(std::move(dir)) {}
    CallCenter(const CallCenter&) = delete;
    CallCenter& operator=(const CallCenter&) = delete;

    HRESULT QueryInterface(REFIID iid, void** out) override;
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    ICallEndpoint* CreateEndpoint(int32_t id, int32_t reserved, IMessageCallBack* receiver,
                                  int32_t flags) override;
    HRESULT ReleaseEndpoint(ICallEndpoint* endpoint) override;
    void* AllocBuffer(int32_t size) override { return buffers_.Alloc(size); }
    void FreeBuffer(void* buffer) override { buffers_.Free(buffer); }

    const std::string& Directory() const { return dir_; }
    // Buffers handed out and not given back, in this process.
    size_t LiveBuffers() const { return buffers_.Live(); }

private:
    const std::string dir_;
    BufferTable buffers_;
    std::mutex mutex_;
    std::unordered_map<ICallEndpoint*, std::shared_ptr<Endpoint>> endpoints_;
};

}  // namespace relayhub
