// The peer process of the message center's tests: a CTestCenter with its own endpoint in the
// runtime root it inherits.
//
//   msgcenter_peer ID    Init(ID); prints "ready" (or "init-failed", then exits 3), then runs
//                        commands from standard input, one a line:
//     send TARGET CHANNEL worker|direct HEX   SendMsg with SERVICE_CALL_TIMEOUT (through the
//                                             worker) or INFINITE; prints "result HR HEX"
//     noreply TARGET CHANNEL HEX              SendMsgNoReply with INFINITE; prints "result HR -"
//     post TARGET CHANNEL HEX                 PostMsg; prints "posted R"
//                        HEX is the payload as hex pairs, "-" for none (length 0). At the end of
//                        input it uninitialises its message center and exits 0.
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>

#include "test_center.h"

namespace {

void Say(const std::string& line) {
    std::cout << line << std::endl;
}

std::string Run(mctest::CTestCenter& center, const std::string& line) {
    std::istringstream in(line);
    std::string command, mode, hex;
    int target = 0, channel = 0;
    in >> command >> target >> channel;
    if (command == "send") {
        in >> mode >> hex;
        std::string payload = mctest::FromHex(hex == "-" ? "" : hex);
        void* reply = nullptr;
        int length = 0;
        DWORD timeout = mode == "worker" ? SERVICE_CALL_TIMEOUT : INFINITE;
        int hr = center.SendMsg(target, 0, channel, payload.data(),
                                static_cast<int>(payload.size()), &reply, &length, timeout);
        std::string bytes;
        if (hr == S_OK && reply) {
            bytes.assign(static_cast<char*>(reply), static_cast<size_t>(length));
        }
        center.FreeReply(reply);
        return "result " + std::to_string(hr) + " " + mctest::ToHex(bytes);
    }
    if (command == "noreply") {
        in >> hex;
        std::string payload = mctest::FromHex(hex == "-" ? "" : hex);
        int hr = center.SendMsgNoReply(target, 0, channel, payload.data(),
                                       static_cast<int>(payload.size()), INFINITE);
        return "result " + std::to_string(hr) + " -";
    }
    if (command == "post") {
        in >> hex;
        std::string payload = mctest::FromHex(hex == "-" ? "" : hex);
        int r =
            center.PostMsg(target, 0, channel, payload.data(), static_cast<int>(payload.size()));
        return "posted " + std::to_string(r);
    }
    return "unknown";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    auto* center = new mctest::CTestCenter;
    if (!center->Init(std::atoi(argv[1]))) {
        Say("init-failed");
        center->UnInit();
        delete center;
        return 3;
    }
    Say("ready");
    std::string line;
    while (std::getline(std::cin, line)) {
        Say(Run(*center, line));
    }
    center->UnInit();
    delete center;
    return 0;
}
