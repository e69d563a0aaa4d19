// An endpoint against callers that open connections and leave them idle: the number it keeps is
// bounded, and with its descriptors used up it still takes new callers.
#include <sys/resource.h>

#include <filesystem>
#include <memory>

#include "ipc_fixture.h"
#include "raw_frames.h"
#include "receiver.h"
#include "socket_util.h"

namespace relayhubtest {
namespace {

using DescriptorTest = IpcTest;

constexpr int kIdleCallers = 300;

size_t OpenDescriptors(pid_t pid) {
    size_t count = 0;
    for (const auto& entry :
         std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd")) {
        (void)entry;
        ++count;
    }
    return count;
}

std::vector<std::unique_ptr<RawClient>> ConnectIdle(const std::string& path) {
    std::vector<std::unique_ptr<RawClient>> idle;
    for (int i = 0; i < kIdleCallers; ++i) {
        idle.push_back(std::make_unique<RawClient>(path));
        EXPECT_TRUE(idle.back()->Connected()) << i;
    }
    return idle;
}

TEST_F(DescriptorTest, IdleConnectionsAreBounded) {
    PeerProcess& peer = StartPeer(kPeerId);
    size_t before = OpenDescriptors(peer.Pid());
    auto idle = ConnectIdle(relayhub::SocketPath(dir_, kPeerId));
    // Answered only once the receiver has taken every connection that came before it.
    ASSERT_EQ(CallPeer(kPeerId, kEcho, Bytes("after them")).bytes, "after them");
    // The reserve descriptor and the caller's own connection come on top of the bound.
    EXPECT_LE(OpenDescriptors(peer.Pid()), before + relayhub::kMaxIdleConnections + 2);
}

TEST_F(DescriptorTest, WithItsDescriptorsUsedUpAnEndpointStillTakesNewCallers) {
#ifdef BR_UBSAN_NEEDS_DESCRIPTORS
    GTEST_SKIP() << "the vptr check of UndefinedBehaviorSanitizer fails falsely in a process "
                    "that has no free descriptor";
#endif
    PeerProcess& peer = StartPeer(kPeerId);
    const rlimit low = {64, 64};  // far fewer than the callers that come
    ASSERT_EQ(prlimit(peer.Pid(), RLIMIT_NOFILE, &low, nullptr), 0);
    auto idle = ConnectIdle(relayhub::SocketPath(dir_, kPeerId));
    for (const char* text : {"first", "second", "third"}) {
        CallResult result = CallPeer(kPeerId, kEcho, Bytes(text), 5000);
        EXPECT_EQ(result.hr, S_OK) << text;
        EXPECT_EQ(result.bytes, text);
    }
    EXPECT_LE(OpenDescriptors(peer.Pid()), 64u);
}

}  // namespace
}  // namespace relayhubtest
