// Fuzz target of the bridge's request handling. The input up to its first NUL byte is a request
// text, served against a recording player core with fixed values. The request's name decides
// what may happen: the reply's kind and value, and which player calls are made.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "bridge_harness.h"
#include "recording_player_core.h"
#include "xml_archive.h"

namespace {

#define Check(ok) CheckAt((ok), __LINE__)

void CheckAt(bool ok, int line) {
    if (!ok) {
        std::fprintf(stderr, "flash_call_fuzz: check at line %d failed\n", line);
        std::abort();
    }
}

struct Expected {
    std::set<std::string> replies;  // empty: no reply; "*" any Boolean
    std::set<std::string> calls;    // the player calls it may make (any number of them)
    bool openMayStay = false;       // "BROpenMusic": no reply when it opens nothing
};

std::string Number(int value) {
    return "reply <number>" + std::to_string(value) + "</number>\r\n";
}

const std::map<std::string, Expected>& Table() {
    static const std::map<std::string, Expected> table = {
        {"BRIsDJContainer", {{"reply <true />"}, {}}},
        {"BROpenMusic", {{"reply <true />"}, {"Open"}, true}},
        {"BRPlayMusic", {{}, {"Play"}}},
        {"BRStopMusic", {{}, {"Stop"}}},
        {"BRPauseMusic", {{}, {"Pause"}}},
        {"BRResumeMusic", {{}, {"Play"}}},
        {"BRGetVolume", {{Number(80)}, {"GetPlayObject", "GetVolume"}}},
        {"BRGetBufferingProgress", {{Number(42)}, {"GetPlayObject", "GetBufferInfo"}}},
        {"BRGetCurrentPosition", {{Number(-61)}, {"GetPlayObject", "GetPosition"}}},
        {"BRGetDuration", {{Number(185)}, {"GetPlayObject", "GetDuration"}}},
        {"BRGetPlayState", {{Number(PLAY_STATE_PAUSED)}, {}}},
    };
    return table;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(data ? reinterpret_cast<const char*>(data) : "", data ? size : 0);
    const std::string request(input.substr(0, input.find('\0')));

    playertest::RecordingPlayerCore core;
    core.object.volume = 80;
    core.object.bufferFirst = 42;
    core.object.position = -61999;
    core.object.duration = 185999;
    CPlayerCtrl player;
    player.SetCore(&core);
    CPlayStateHolder state;
    state.SetPlayState(PLAY_STATE_PAUSED);
    bridgetest::BridgeHarness harness(player, state);
    const std::vector<std::string> events = harness.Serve(request);

    CXmlArchive parsed(3);
    parsed.Open(request.c_str());
    const std::string name = parsed.FindElement("invoke") ? parsed.GetAttribute("name") : "\x01";

    Check(events.size() <= 1);
    const auto entry = Table().find(name);
    if (name == "BRSetVolume" || name == "BRSetCurrentPosition") {
        Check(events.empty() && core.calls.size() == 1);
        Check(core.calls[0].rfind(name == "BRSetVolume" ? "SetVolume(" : "SetPosition(", 0) == 0);
    } else if (name == "openLoadingUrl" || name == "ShowDebug") {
        Check(core.calls.empty());
        Check(events.empty() ||
              events[0].rfind(name == "ShowDebug" ? "debug " : "timer 2560 500 ", 0) == 0);
    } else if (entry == Table().end()) {
        Check(events.empty() && core.calls.empty());  // no call served, no reply
    } else {
        const Expected& expected = entry->second;
        if (name == "BROpenMusic") {
            Check(core.calls.size() <= 1);
            Check(events.size() == core.calls.size());  // an open always answers
        } else {
            Check(events.size() == expected.replies.size());
        }
        for (const std::string& event : events) {
            Check(expected.replies.count(event) == 1);
        }
        for (const std::string& call : core.calls) {
            Check(expected.calls.count(call) == 1);
        }
    }
    return 0;
}
