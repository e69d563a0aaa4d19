// An endpoint's connections to other endpoints: idle ones kept for the next call to the same
// target, and the ones calls in flight are using, so that releasing the endpoint can end them.
// A connection serves one call at a time.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "pal/types.h"

namespace relayhub {

class ConnectionPool {
public:
    explicit ConnectionPool(std::string dir) : dir_(std::move(dir)) {}
    ~ConnectionPool();
    ConnectionPool(const ConnectionPool&) = delete;
    ConnectionPool& operator=(const ConnectionPool&) = delete;

    // A connection to endpoint `target`: an idle one that is still sound, else a new one.
    HRESULT Acquire(int32_t target, int* fd);
    // Hands a connection back after its call: kept when reusable, else closed.
    void Return(int32_t target, int fd, bool reusable);
    // Ends the calls in flight (their sockets report a hang-up) and refuses new ones.
    void Shutdown();
    bool IsShutdown() const;

private:
    const std::string dir_;
    mutable std::mutex mutex_;
    std::unordered_multimap<int32_t, int> idle_;
    std::unordered_set<int> busy_;
    bool shutdown_ = false;
};

}  // namespace relayhub
