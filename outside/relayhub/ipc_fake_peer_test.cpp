// The calling side against a fake peer that answers as each case says: only the call's own
// well-formed reply is taken.
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <future>

#include "frame.h"
#include "ipc_fixture.h"
#include "raw_frames.h"
#include "socket_util.h"

namespace relayhubtest {
namespace {

using FakePeerTest = IpcTest;

// A fake peer: listens at the socket of an id, reads one call and answers with the bytes the
// test builds from that call's sequence number, then keeps the connection open until the end.
class FakePeer {
public:
    FakePeer(const std::string& path, std::function<std::vector<uint8_t>(uint64_t)> answer)
        : listenFd_(ListenAtPath(path)) {
        served_ = std::async(std::launch::async, [this, answer] {
            int fd = accept(listenFd_, nullptr, nullptr);
            if (fd < 0) {
                return;
            }
            uint8_t header[relayhub::kFrameHeaderSize];
            relayhub::FrameHeader h;
            if (recv(fd, header, sizeof header, MSG_WAITALL) == sizeof header &&
                relayhub::DecodeFrameHeader(header, relayhub::FrameKind::kCall, &h) ==
                    relayhub::DecodeStatus::kFrame) {
                std::vector<uint8_t> payload(h.length);
                if (h.length > 0) {
                    recv(fd, payload.data(), h.length, MSG_WAITALL);
                }
                std::vector<uint8_t> bytes = answer(h.sequence);
                if (!bytes.empty()) {
                    send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
                }
            }
            // Until the caller closes; a caller may also keep the connection for its next call.
            while (!stop_) {
                pollfd p = {fd, POLLIN, 0};
                char byte;
                if (poll(&p, 1, 20) > 0 && recv(fd, &byte, 1, 0) <= 0) {
                    break;
                }
            }
            close(fd);
        });
    }
    ~FakePeer() {
        shutdown(listenFd_, SHUT_RDWR);
        stop_ = true;
        served_.wait();
        close(listenFd_);
    }
    FakePeer(const FakePeer&) = delete;
    FakePeer& operator=(const FakePeer&) = delete;

private:
    static int ListenAtPath(const std::string& path) {
        int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
        EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        EXPECT_EQ(listen(fd, 4), 0);
        return fd;
    }

    int listenFd_;
    std::atomic<bool> stop_{false};
    std::future<void> served_;
};

std::vector<uint8_t> ReplyFrame(uint64_t sequence, int32_t status, const char* text) {
    relayhub::FrameHeader h;
    h.kind = relayhub::FrameKind::kReply;
    h.sequence = sequence;
    h.status = status;
    h.flags = text ? relayhub::kReplyHasBuffer : 0;
    h.length = text ? static_cast<uint32_t>(std::strlen(text)) : 0;
    std::vector<uint8_t> out(relayhub::kFrameHeaderSize);
    relayhub::EncodeFrameHeader(h, out.data());
    if (text) {
        out.insert(out.end(), text, text + h.length);
    }
    return out;
}

std::vector<uint8_t> Joined(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(FakePeerTest, TheCallerTakesOnlyItsOwnWellFormedReply) {
    const struct {
        const char* name;
        std::function<std::vector<uint8_t>(uint64_t)> answer;
        HRESULT hr;
        const char* reply;
    } cases[] = {
        {"its own reply", [](uint64_t s) { return ReplyFrame(s, 0, "mine"); }, S_OK, "mine"},
        {"a stale reply before its own",
         [](uint64_t s) { return Joined(ReplyFrame(s - 1, 0, "old"), ReplyFrame(s, 0, "new")); },
         S_OK, "new"},
        {"the reply of a later call", [](uint64_t s) { return ReplyFrame(s + 1, 0, "x"); },
         RH_E_PROTOCOL, nullptr},
        {"garbage", [](uint64_t) { return std::vector<uint8_t>(40, 'X'); }, RH_E_PROTOCOL, nullptr},
        {"a call instead of a reply", [](uint64_t s) { return EchoFrame(s, "x"); }, RH_E_PROTOCOL,
         nullptr},
        {"an oversized reply",
         [](uint64_t s) {
             std::vector<uint8_t> v = ReplyFrame(s, 0, "");
             v[36] = 0x01;
             v[39] = 0x01;
             return v;
         },
         RH_E_PROTOCOL, nullptr},
        {"a failure status", [](uint64_t s) { return ReplyFrame(s, RH_E_BAD_REPLY, nullptr); },
         RH_E_BAD_REPLY, nullptr},
        {"half a reply, then silence",
         [](uint64_t s) {
             std::vector<uint8_t> v = ReplyFrame(s, 0, "cut");
             v.resize(20);
             return v;
         },
         RH_E_TIMEOUT, nullptr},
    };
    int32_t id = 5000;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakePeer fake(relayhub::SocketPath(dir_, ++id), c.answer);
        CallResult r = CallPeer(id, kEcho, Bytes("question"), 300);
        EXPECT_EQ(r.hr, c.hr);
        if (c.reply) {
            EXPECT_EQ(r.bytes, c.reply);
        }
    }
}

}  // namespace
}  // namespace relayhubtest
