// Test support: a test process with its own endpoint in a private runtime root, and peer helper
// processes with endpoints of their own.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "peer_process.h"
#include "relayhub.h"
#include "test_peer.h"
#include "test_root.h"

namespace relayhubtest {
using brtest::PeerProcess;

struct CallResult {
    HRESULT hr = E_FAIL;
    bool buffer = false;
    std::string bytes;
};

class IpcTest : public ::testing::Test {
protected:
    static constexpr int32_t kSelfId = 4098;
    static constexpr int32_t kPeerId = 4097;
    // The peer helper program (relayhub_peer_helper.cpp).
    static constexpr const char* kHelper = "relayhub_peer";

    void SetUp() override;
    void TearDown() override;

    // Starts a peer helper with endpoint `id`; it has said "ready" when this returns it.
    PeerProcess& StartPeer(int32_t id);
    // A call from this process's endpoint; the reply buffer is copied and given back.
    CallResult CallPeer(int32_t target, int32_t channel, const std::vector<uint8_t>& payload,
                        DWORD timeout = 5000);
    // The number of library buffers alive in the peer process `id`.
    int32_t PeerLiveBuffers(int32_t id);

    brtest::ScopedTestRoot root_;
    std::string dir_;
    ICallCenter* center_ = nullptr;
    std::unique_ptr<TestPeer> peer_;
    ICallEndpoint* self_ = nullptr;
    std::vector<std::unique_ptr<PeerProcess>> peers_;
};

inline long MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - start)
                                 .count());
}

}  // namespace relayhubtest
