// The movie's requests on the real road: the bridge over g_PlayerCore, the real proxy, service
// and engine, g_MediaPlay receiving the notifications into a main window's play state. Each
// step is a request and what the movie gets back; a polled step repeats its request until the
// answer comes, as a movie polls.
#include <gmock/gmock.h>

#include <thread>

#include "bridge_harness.h"
#include "media_play.h"
#include "play_state.h"
#include "player_ctrl.h"
#include "client_road_fixture.h"
#include "wait_until.h"

namespace proxytest {
namespace {

using namespace std::chrono_literals;
using bridgetest::Invoke;
using Events = std::vector<std::string>;

const std::string kTrue = "reply <true />";
const std::string kFalse = "reply <false />";
Events Number(const std::string& digits) {
    return {"reply <number>" + digits + "</number>\r\n"};
}

struct Step {
    std::string request;
    Events events;
    bool poll = false;  // repeat until the answer is this, for up to 8 s
};

class BridgeRoadTest : public ClientRoadTest {
protected:
    void Run(const std::vector<Step>& steps) {
        for (const Step& step : steps) {
            SCOPED_TRACE(step.request);
            Events got = harness_.Serve(step.request);
            if (step.poll && got != step.events) {
                brtest::WaitUntil([&] {
                    got = harness_.Serve(step.request);
                    return got == step.events;
                }, 8s);
            }
            EXPECT_THAT(got, ::testing::ElementsAreArray(step.events));
        }
    }

    // The text the engine's play object holds for the open item (B: the item's second text).
    std::string EngineTextB() {
        IPlayObject* object = nullptr;
        char text[512] = {};
        if (GetPlayerCoreProxy()->GetPlayObject(&object) == 0 && object != nullptr) {
            object->GetTextB(text);
        }
        return text;
    }

    bridgetest::BridgeHarness harness_{g_PlayerCore, window_};
};

std::string OpenDemo(const std::string& title) {
    return Invoke("BROpenMusic", "<string>" + DemoTrack() + "</string><string>" + title +
                                     "</string><string>DJ</string><string>17</string>"
                                     "<string>4</string><number>3</number>");
}

// Every call once, in the order a movie uses them: the answers come from the engine.
TEST_F(BridgeRoadTest, EveryCallThroughTheServiceAndEngine) {
    const std::string getState = Invoke("BRGetPlayState");
    const std::string getPosition = Invoke("BRGetCurrentPosition");
    Run({
        {Invoke("BRIsDJContainer"), {kTrue}},
        {"<invoke name=\"BROpenMusic\"></invoke>", {}},  // no arguments: nothing opened
        {Invoke("BRGetDuration"), Number("0")},
        {Invoke("BROpenMusic", "<string>" + DemoTrack() + ".missing</string>"), {kFalse}},
        {OpenDemo("\xB8\xE8 &amp; \xC7\xFA"), {kTrue}},
        {Invoke("BRGetDuration"), Number(std::to_string(DEMO_TRACK_MS / 1000))},
        {getState, Number("0")},
        {Invoke("BRSetVolume"), {}},
        {Invoke("BRGetVolume"), Number("0")},
        {Invoke("BRSetVolume", "<number>80</number>"), {}},
        {Invoke("BRGetVolume"), Number("80")},
        {Invoke("BRPlayMusic"), {}},
        {getState, Number("3"), true},
        {Invoke("BRGetBufferingProgress"), Number("100")},
        {Invoke("BRPauseMusic"), {}},
        {getState, Number("2"), true},
        {Invoke("BRSetCurrentPosition", "<number>3500</number>"), {}},
        {getPosition, Number("3")},
        {Invoke("BRResumeMusic"), {}},
        {getState, Number("3"), true},
        {Invoke("BRStopMusic"), {}},
        {getState, Number("1"), true},
        {getPosition, Number("0")},
        {Invoke("BRGetDownloadProgress"), {}},
        {Invoke("BRDebugOut", "<string>x</string>"), {}},
        {Invoke("PrintDebug", "<string></string>"), {}},
        {Invoke("openLoadingUrl"), {}},
        {Invoke("openLoadingUrl", "<string>http://127.0.0.1/m.swf</string>"),
         {"timer 2560 500 http://127.0.0.1/m.swf"}},
        {Invoke("ShowDebug", "<string>0:x</string>"), {"debug 0:x"}},
        {Invoke("brplaymusic"), {}},
        {"<call name=\"BRIsDJContainer\"/>", {}},
        {getState, Number("1")},
        // Played to its end from a second before it.
        {Invoke("BRSetCurrentPosition",
                "<number>" + std::to_string(DEMO_TRACK_MS - 1000) + "</number>"),
         {}},
        {Invoke("BRPlayMusic"), {}},
        {getState, Number("3"), true},
        {getState, Number("1"), true},
    });
    EXPECT_EQ(EngineTextB(), "\xB8\xE8 & \xC7\xFA");
}

// The minute-long DJ track: a position of 61.5 s answers 61, its length 64 s.
TEST_F(BridgeRoadTest, PositionsOfTheDjTrackInWholeSeconds) {
    const std::string getState = Invoke("BRGetPlayState");
    Run({
        {Invoke("BROpenMusic", "<string>" DJ_TRACK_PATH "</string>"), {kTrue}},
        {Invoke("BRGetDuration"), Number("64")},
        {Invoke("BRPlayMusic"), {}},
        {getState, Number("3"), true},
        {Invoke("BRPauseMusic"), {}},
        {getState, Number("2"), true},
        {Invoke("BRSetCurrentPosition", "<number>61500</number>"), {}},
        {Invoke("BRGetCurrentPosition"), Number("61")},
        {Invoke("BRResumeMusic"), {}},
        {getState, Number("1"), true},  // the last 2.5 s played to the end
    });
}

// A lost service: the open answers false, the getters 0, the container still true.
TEST_F(BridgeRoadTest, ALostServiceAnswersFalseAndZero) {
    Run({{OpenDemo("t"), {kTrue}}, {Invoke("BRGetDuration"), Number("6")}});
    for (DWORD pid : ServiceProcesses()) {
        KillProcess(pid);
    }
    ASSERT_TRUE(WaitForNoService());
    Run({
        {OpenDemo("t"), {kFalse}},
        {Invoke("BRGetDuration"), Number("0")},
        {Invoke("BRGetVolume"), Number("0")},
        {Invoke("BRGetBufferingProgress"), Number("0")},
        {Invoke("BRIsDJContainer"), {kTrue}},
    });
}

}  // namespace
}  // namespace proxytest
