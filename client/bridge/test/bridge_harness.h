// The bridge with a host that records what the movie would see: every return value set, every
// overlay text and every timer asked for, in one list in order ("reply <true />",
// "debug text", "timer 2560 500 url"). throwOnReply makes the control's SetReturnValue throw.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "flash_call_bridge.h"

namespace bridgetest {

class BridgeHarness {
public:
    BridgeHarness(CPlayerCtrl& player, const CPlayStateHolder& state) {
        FlashCallHost host;
        host.player = &player;
        host.playState = &state;
        host.setReturnValue = [this](const char* xml) {
            ++replyAttempts;
            if (throwOnReply) {
                throw std::runtime_error("control refused the value");
            }
            events.push_back(std::string("reply ") + xml);
        };
        host.showDebugText = [this](const std::string& text, bool transparent) {
            events.push_back(std::string(transparent ? "transparent " : "debug ") + text);
        };
        host.setTimer = [this](UINT_PTR id, UINT elapse, const std::string& url) {
            events.push_back("timer " + std::to_string(id) + " " + std::to_string(elapse) + " " +
                             url);
        };
        bridge = std::make_unique<CFlashCallBridge>(std::move(host));
    }

    // Serves the request and gives what it produced.
    std::vector<std::string> Serve(const std::string& request) {
        events.clear();
        bridge->OnFlashCall(request.c_str());
        return events;
    }

    std::unique_ptr<CFlashCallBridge> bridge;
    std::vector<std::string> events;
    bool throwOnReply = false;
    int replyAttempts = 0;
};

// The request the control sends for a call with the arguments' XML.
inline std::string Invoke(const std::string& name, const std::string& arguments = "") {
    return "<invoke name=\"" + name + "\" returntype=\"xml\"><arguments>" + arguments +
           "</arguments></invoke>";
}

}  // namespace bridgetest
