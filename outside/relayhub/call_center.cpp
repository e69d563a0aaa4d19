#include "call_center.h"

#include <map>

#include "com_object.h"
#include "socket_util.h"

namespace relayhub {

HRESULT CallCenter::QueryInterface(REFIID iid, void** out) {
    return QueryOwnInterface<ICallCenter>(this, IID_ICallCenter, iid, out);
}

ICallEndpoint* CallCenter::CreateEndpoint(int32_t id, int32_t reserved, IMessageCallBack* receiver,
                                          int32_t flags) {
    if (!receiver || reserved != 0 || flags != 0) {
        return nullptr;
    }
    std::shared_ptr<Endpoint> endpoint = Endpoint::Open(dir_, id, receiver, buffers_);
    if (!endpoint) {
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    endpoints_.emplace(endpoint.get(), endpoint);
    return endpoint.get();
}

HRESULT CallCenter::ReleaseEndpoint(ICallEndpoint* endpoint) {
    std::shared_ptr<Endpoint> held;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = endpoints_.find(endpoint);
        if (it == endpoints_.end()) {
            return E_INVALIDARG;
        }
        held = std::move(it->second);
        endpoints_.erase(it);
    }
    held->Close();
    return S_OK;
}

}  // namespace relayhub

extern "C" ICallCenter* RS_InitializeCallCenter(const char* dir, int mode) {
    if (mode != 3) {
        return nullptr;
    }
    std::string path = relayhub::PrepareDirectory(dir);
    if (path.empty()) {
        return nullptr;
    }
    // Call centers live as long as the process: endpoints and buffers may outlive any caller.
    static std::mutex* const mutex = new std::mutex;
    static auto* const centers = new std::map<std::string, relayhub::CallCenter*>;
    std::lock_guard<std::mutex> lock(*mutex);
    relayhub::CallCenter*& center = (*centers)[path];
    if (!center) {
        center = new relayhub::CallCenter(path);
    }
    return center;
}
