// The receiving side against raw sockets: the documented wire format byte for byte, malformed
// and oversized frames, and peers of another user.
#include <sys/stat.h>
#include <unistd.h>

#include "frame.h"
#include "ipc_fixture.h"
#include "raw_frames.h"
#include "socket_util.h"

namespace relayhubtest {
namespace {

using RawTest = IpcTest;

TEST_F(RawTest, AnswersTheDocumentedWireFormat) {
    StartPeer(kPeerId);
    RawClient client(relayhub::SocketPath(dir_, kPeerId));
    ASSERT_TRUE(client.Connected());
    const struct {
        const char* name;
        const char* call;
        const char* reply;
    } cases[] = {
        {"echo",
         "52485542 0100 0100 2A00000000000000 39300000 01100000 07000000 01000000 00000000 "
         "03000000 616263",
         "52485542 0100 0200 2A00000000000000 00000000 00000000 00000000 00000000 01000000 "
         "03000000 616263"},
        {"no reply stored",
         "52485542 0100 0100 2B00000000000000 39300000 01100000 00000000 02000000 00000000 "
         "01000000 7A",
         "52485542 0100 0200 2B00000000000000 00000000 00000000 00000000 00000000 00000000 "
         "00000000"},
        {"unsendable reply",
         "52485542 0100 0100 2C00000000000000 39300000 01100000 00000000 06000000 00000000 "
         "00000000",
         "52485542 0100 0200 2C00000000000000 05030480 00000000 00000000 00000000 00000000 "
         "00000000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(client.Send(Hex(c.call)));
        std::vector<uint8_t> expected = Hex(c.reply);
        EXPECT_EQ(client.Read(expected.size()), expected);
    }
}

TEST_F(RawTest, AMalformedFrameClosesOnlyItsOwnConnection) {
    StartPeer(kPeerId);
    std::string path = relayhub::SocketPath(dir_, kPeerId);
    RawClient good(path);
    ASSERT_TRUE(good.Connected());

    std::vector<uint8_t> reply = EchoFrame(9, "");
    reply[6] = 2;  // kind: reply
    std::vector<uint8_t> oversized = EchoFrame(1, "");
    oversized[36] = 0x01;
    oversized[39] = 0x01;  // length 16 MiB + 1, no payload follows
    std::vector<uint8_t> flagged = EchoFrame(1, "");
    flagged[32] = 0x01;
    std::vector<uint8_t> wrongTarget = EchoFrame(1, "not yours");
    wrongTarget[20] = 0x02;  // target 4098
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"garbage", std::vector<uint8_t>(40, 'X')},
        {"a reply frame sent to a receiver", reply},
        {"oversized, refused from its header", oversized},
        {"a call with flags", flagged},
        {"a call addressed to another endpoint id", wrongTarget},
        {"garbage after a good frame",
         [] {
             std::vector<uint8_t> v = EchoFrame(1, "ok");
             v.insert(v.end(), 40, 0xFF);
             return v;
         }()},
    };
    uint64_t sequence = 100;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RawClient bad(path);
        ASSERT_TRUE(bad.Connected());
        ASSERT_TRUE(bad.Send(c.bytes));
        // Whatever answer came for a good frame before the bad one, the connection then closes.
        bad.Read(relayhub::kFrameHeaderSize + 2, 200);
        EXPECT_TRUE(bad.ClosedByPeer());

        std::vector<uint8_t> expected = EchoFrame(sequence, "still here");
        expected[6] = 2;
        std::fill(expected.begin() + 16, expected.begin() + 32, 0);
        expected[32] = 1;
        ASSERT_TRUE(good.Send(EchoFrame(sequence, "still here")));
        EXPECT_EQ(good.Read(expected.size()), expected);
        ++sequence;
        EXPECT_EQ(CallPeer(kPeerId, kEcho, Bytes("and calls too")).bytes, "and calls too");
    }
}

bool RunningAsRoot() {
    return geteuid() == 0;
}

// Opens the folders down to the call center's directory for user 65534.
void OpenPathFor65534(const brtest::ScopedTestRoot& root, const std::string& dir, mode_t dirMode) {
    ASSERT_EQ(chmod(root.Path().c_str(), 0711), 0);
    ASSERT_EQ(chmod(root.Runtime().c_str(), 0711), 0);
    ASSERT_EQ(chmod(dir.c_str(), dirMode), 0);
}

TEST_F(RawTest, AProcessOfAnotherUserCannotCallIn) {
    if (!RunningAsRoot()) {
        GTEST_SKIP() << "needs root to run a process as another user";
    }
    OpenPathFor65534(root_, dir_, 0711);
    std::string path = relayhub::SocketPath(dir_, kSelfId);
    ASSERT_EQ(chmod(path.c_str(), 0666), 0);
    PeerProcess stranger(kHelper);
    ASSERT_TRUE(stranger.Start({"--as-nobody", "connect", path}));
    EXPECT_EQ(stranger.ReadLine(), "closed");
    EXPECT_EQ(stranger.Wait(5000), 0);
    EXPECT_EQ(peer_->Delivered(), 0);
}

TEST_F(RawTest, AnEndpointOfAnotherUserIsNotCalled) {
    if (!RunningAsRoot()) {
        GTEST_SKIP() << "needs root to run a process as another user";
    }
    OpenPathFor65534(root_, dir_, 0777);
    PeerProcess stranger(kHelper);
    ASSERT_TRUE(stranger.Start({"--as-nobody", "listen", relayhub::SocketPath(dir_, 4321)}));
    ASSERT_EQ(stranger.ReadLine(), "ready");
    EXPECT_EQ(CallPeer(4321, kEcho, Bytes("hello?")).hr, RH_E_ACCESS);
    stranger.CloseInput();
    EXPECT_EQ(stranger.Wait(5000), 0);
}

}  // namespace
}  // namespace relayhubtest
