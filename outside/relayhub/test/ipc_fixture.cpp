#include "ipc_fixture.h"

#include <cstring>

#include "call_center.h"

namespace relayhubtest {

void IpcTest::SetUp() {
    dir_ = root_.Runtime() + "/callcenter";
    center_ = RS_InitializeCallCenter(dir_.c_str(), 3);
    ASSERT_NE(center_, nullptr);
    peer_ = std::make_unique<TestPeer>(center_);
    self_ = center_->CreateEndpoint(kSelfId, 0, peer_.get(), 0);
    ASSERT_NE(self_, nullptr);
    peer_->SetEndpoint(self_);
}

void IpcTest::TearDown() {
    // A peer still running leaves at the end of its input; it must do so cleanly (under the
    // sanitizers that includes its leak check).
    for (auto& p : peers_) {
        if (p->Pid() > 0) {
            p->CloseInput();
            EXPECT_EQ(p->Wait(5000), 0) << "peer " << p->Pid() << " did not leave cleanly";
            p->Kill();
        }
    }
    if (self_) {
        EXPECT_EQ(center_->ReleaseEndpoint(self_), S_OK);
    }
    EXPECT_EQ(static_cast<relayhub::CallCenter*>(center_)->LiveBuffers(), 0u);
}

PeerProcess& IpcTest::StartPeer(int32_t id) {
    peers_.push_back(std::make_unique<PeerProcess>(kHelper));
    PeerProcess& p = *peers_.back();
    EXPECT_TRUE(p.Start({dir_, std::to_string(id)}));
    EXPECT_EQ(p.ReadLine(), "ready");
    return p;
}

CallResult IpcTest::CallPeer(int32_t target, int32_t channel, const std::vector<uint8_t>& payload,
                             DWORD timeout) {
    CallResult r;
    void* reply = reinterpret_cast<void*>(0x1);  // must be overwritten on success
    int32_t length = -7;
    r.hr = self_->Call(target, 0, channel, payload.data(), static_cast<int32_t>(payload.size()),
                       &reply, &length, timeout);
    if (r.hr == S_OK) {
        r.buffer = reply != nullptr;
        if (reply) {
            r.bytes.assign(static_cast<char*>(reply), length);
        } else {
            EXPECT_EQ(length, 0);
        }
        center_->FreeBuffer(reply);
    } else {
        EXPECT_EQ(reply, reinterpret_cast<void*>(0x1)) << "a failed call wrote its reply out";
        EXPECT_EQ(length, -7);
    }
    return r;
}

int32_t IpcTest::PeerLiveBuffers(int32_t id) {
    CallResult r = CallPeer(id, kLiveBuffers, {});
    int32_t live = -1;
    if (r.hr == S_OK && r.bytes.size() == 4) {
        std::memcpy(&live, r.bytes.data(), 4);
    }
    return live;
}

}  // namespace relayhubtest
