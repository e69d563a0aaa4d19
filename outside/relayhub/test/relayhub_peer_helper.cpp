// A peer process for the call center's tests.
//
//   relayhub_peer DIR ID          registers endpoint ID in DIR with the test peer's answers and
//                                 prints "ready" (or "busy" when the id is taken, then exits 3);
//                                 then runs commands from standard input, one a line:
//                                   echo TARGET COUNT        COUNT kEcho calls, prints "ok" or
//                                                            "fail I RESULT"
//                                   callback TARGET CB MS    one kCallBack call to TARGET that
//                                                            calls CB back; prints "result R TEXT"
//                                 and at the end of input releases the endpoint and exits 0.
//   relayhub_peer --as-nobody connect PATH   as user 65534: sends a call frame to the socket
//                                            at PATH, prints "closed" or "answered"
//   relayhub_peer --as-nobody listen PATH    as user 65534: listens at PATH, prints "ready",
//                                            waits for the end of input
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>

#include "frame.h"
#include "relayhub.h"
#include "test_peer.h"

namespace {

using namespace relayhubtest;

void Say(const std::string& line) {
    std::cout << line << std::endl;
}

int RunCommands(ICallCenter* center, ICallEndpoint* endpoint) {
    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream in(line);
        std::string command;
        in >> command;
        if (command == "echo") {
            int32_t target = 0, count = 0;
            in >> target >> count;
            std::string failure;
            for (int32_t i = 0; i < count && failure.empty(); ++i) {
                std::string text = "helper-" + std::to_string(i);
                void* reply = nullptr;
                int32_t length = 0;
                HRESULT hr =
                    endpoint->Call(target, 0, kEcho, text.data(), static_cast<int32_t>(text.size()),
                                   &reply, &length, 10000);
                if (hr != S_OK || std::string(static_cast<char*>(reply), length) != text) {
                    failure = "fail " + std::to_string(i) + " " + std::to_string(hr);
                }
                center->FreeBuffer(reply);
            }
            Say(failure.empty() ? "ok" : failure);
        } else if (command == "callback") {
            int32_t target = 0, back = 0, ms = 0;
            in >> target >> back >> ms;
            std::vector<uint8_t> payload = CallBackPayload(back, ms, "from-helper");
            void* reply = nullptr;
            int32_t length = 0;
            HRESULT hr =
                endpoint->Call(target, 0, kCallBack, payload.data(),
                               static_cast<int32_t>(payload.size()), &reply, &length, 20000);
            int32_t inner = -1;
            std::string text;
            if (hr == S_OK && length >= 4) {
                std::memcpy(&inner, reply, 4);
                text.assign(static_cast<char*>(reply) + 4, length - 4);
            }
            center->FreeBuffer(reply);
            Say("result " + std::to_string(hr) + " " + std::to_string(inner) + " " + text);
        }
    }
    center->ReleaseEndpoint(endpoint);
    return 0;
}

int AsNobody(const std::string& mode, const std::string& path) {
    if (setgid(65534) != 0 || setuid(65534) != 0) {
        Say("no-user");
        return 2;
    }
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    if (mode == "listen") {
        if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            listen(fd, 8) != 0) {
            Say("no-listen");
            return 2;
        }
        Say("ready");
        std::string line;
        while (std::getline(std::cin, line)) {
        }
        unlink(path.c_str());
        return 0;
    }
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        Say("no-connect");
        return 2;
    }
    relayhub::FrameHeader h;
    h.kind = relayhub::FrameKind::kCall;
    h.sequence = 1;
    h.channel = kEcho;
    uint8_t header[relayhub::kFrameHeaderSize];
    relayhub::EncodeFrameHeader(h, header);
    ssize_t sent = send(fd, header, sizeof header, MSG_NOSIGNAL);
    uint8_t answer[64];
    ssize_t n = sent == sizeof header ? recv(fd, answer, sizeof answer, 0) : -1;
    Say(n > 0 ? "answered" : "closed");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--as-nobody") {
        return AsNobody(argv[2], argv[3]);
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: relayhub_peer DIR ID\n");
        return 2;
    }
    ICallCenter* center = RS_InitializeCallCenter(argv[1], 3);
    if (!center) {
        Say("no-center");
        return 2;
    }
    TestPeer peer(center);
    ICallEndpoint* endpoint = center->CreateEndpoint(std::atoi(argv[2]), 0, &peer, 0);
    if (!endpoint) {
        Say("busy");
        return 3;
    }
    peer.SetEndpoint(endpoint);
    Say("ready");
    return RunCommands(center, endpoint);
}
