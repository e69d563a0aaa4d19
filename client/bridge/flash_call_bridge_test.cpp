// The bridge against a recording player core: what each request makes the player do and what
// it answers, the argument search by kind and order, the missing-argument rules and the replies.
#include "flash_call_bridge.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "bridge_harness.h"
#include "recording_player_core.h"

namespace bridgetest {
namespace {

using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

const std::string kTrue = "reply <true />";
const std::string kFalse = "reply <false />";
std::string Number(const std::string& digits) {
    return "reply <number>" + digits + "</number>\r\n";
}

class BridgeTest : public ::testing::Test {
protected:
    BridgeTest() : harness_(player_, state_) { player_.SetCore(&core_); }

    // The player's calls as one list; an open is shown with its request's fields.
    std::vector<std::string> PlayerCalls() {
        std::vector<std::string> calls;
        for (const std::string& call : core_.calls) {
            calls.push_back(call == "Open" ? OpenedItem() : call);
        }
        return calls;
    }
    std::string OpenedItem() {
        PlayRequest r;
        std::memcpy(&r, core_.requestBytes, sizeof r);
        return std::string("Open(") + r.itemText1 + "|" + r.itemText2 + "|" + r.itemText3 + "|" +
               r.itemText4 + "|" + std::to_string(r.itemNumber) + "|" +
               std::to_string(r.itemSign.first) + "," + std::to_string(r.itemSign.second) + "|" +
               std::to_string(r.itemExtra) + ")";
    }

    playertest::RecordingPlayerCore core_;
    CPlayerCtrl player_;
    CPlayStateHolder state_;
    BridgeHarness harness_;
};

struct Case {
    const char* what;
    std::string request;
    std::vector<std::string> playerCalls;
    std::vector<std::string> events;
};

// The play object's values while the table runs.
void SetObject(playertest::RecordingPlayerCore& core, int position) {
    core.object.volume = 80;
    core.object.duration = 185999;
    core.object.position = position;
    core.object.bufferFirst = 42;
    core.object.bufferSecond = 7;
}

TEST_F(BridgeTest, EveryCallActsAndAnswersAsTheTableSays) {
    const std::string song = "<string>song.flac</string>";
    const Case cases[] = {
        {"container", Invoke("BRIsDJContainer"), {}, {kTrue}},
        {"container with arguments", Invoke("BRIsDJContainer", "<number>5</number>"), {}, {kTrue}},
        {"open, six arguments",
         Invoke("BROpenMusic",
                "<string>a1</string><string>a2</string><string>a3</string>"
                "<string>12</string><string>34</string><number>9</number>"),
         {"Open(a1|a2||a3|9|12,34|0)"},
         {kTrue}},
        {"open, four strings and a number: a5 missing, number read",
         Invoke("BROpenMusic",
                "<string>a1</string><string>a2</string><string>a3</string>"
                "<string>12</string><number>9</number>"),
         {"Open(a1|a2||a3|9|12,0|0)"},
         {kTrue}},
        {"open, number before the strings reads as 0",
         Invoke("BROpenMusic",
                "<number>9</number><string>a1</string><string>a2</string>"
                "<string>a3</string><string>12</string><string>34</string>"),
         {"Open(a1|a2||a3|0|12,34|0)"},
         {kTrue}},
        {"open, kinds interleaved are matched by kind and order",
         Invoke("BROpenMusic", "<string>a1</string><number>9</number><string>a2</string>"),
         {"Open(a1|a2|||0|0,0|0)"},
         {kTrue}},
        {"open with an empty arguments element opens the empty item",
         Invoke("BROpenMusic"),
         {"Open(||||0|0,0|0)"},
         {kTrue}},
        {"open without arguments does nothing",
         "<invoke name=\"BROpenMusic\" returntype=\"xml\"></invoke>",
         {},
         {}},
        {"open, entities decoded",
         Invoke("BROpenMusic", "<string>a&amp;b&lt;&quot;</string>"),
         {"Open(a&b<\"||||0|0,0|0)"},
         {kTrue}},
        {"play", Invoke("BRPlayMusic"), {"Play"}, {}},
        {"stop", Invoke("BRStopMusic"), {"Stop"}, {}},
        {"pause", Invoke("BRPauseMusic"), {"Pause"}, {}},
        {"resume plays", Invoke("BRResumeMusic"), {"Play"}, {}},
        {"set volume", Invoke("BRSetVolume", "<number>80</number>"), {"SetVolume(80)"}, {}},
        {"set volume, blanks and a fraction",
         Invoke("BRSetVolume", "<number>  12.5</number>"),
         {"SetVolume(12)"},
         {}},
        {"set volume without arguments sets 0",
         "<invoke name=\"BRSetVolume\" returntype=\"xml\"/>",
         {"SetVolume(0)"},
         {}},
        {"set volume skips a string",
         Invoke("BRSetVolume", "<string>9</string><number>7</number>"),
         {"SetVolume(7)"},
         {}},
        {"get volume", Invoke("BRGetVolume"), {"GetPlayObject", "GetVolume"}, {Number("80")}},
        {"buffering progress",
         Invoke("BRGetBufferingProgress"),
         {"GetPlayObject", "GetBufferInfo"},
         {Number("42")}},
        {"set position unchanged",
         Invoke("BRSetCurrentPosition", "<number>61500</number>"),
         {"SetPosition(61500)"},
         {}},
        {"set position negative",
         Invoke("BRSetCurrentPosition", "<number>-3</number>"),
         {"SetPosition(-3)"},
         {}},
        {"set position without arguments",
         "<invoke name=\"BRSetCurrentPosition\"></invoke>",
         {"SetPosition(0)"},
         {}},
        {"position in seconds",
         Invoke("BRGetCurrentPosition"),
         {"GetPlayObject", "GetPosition"},
         {Number("61")}},
        {"download progress answers nothing", Invoke("BRGetDownloadProgress"), {}, {}},
        {"duration truncated",
         Invoke("BRGetDuration"),
         {"GetPlayObject", "GetDuration"},
         {Number("185")}},
        {"play state", Invoke("BRGetPlayState"), {}, {Number("3")}},
        {"debug out dropped", Invoke("BRDebugOut", "<string>x</string>"), {}, {}},
        {"loading url",
         Invoke("openLoadingUrl", "<string>http://h/m.swf</string>"),
         {},
         {"timer 2560 500 http://h/m.swf"}},
        {"loading url, empty string still found",
         Invoke("openLoadingUrl", "<string></string>"),
         {},
         {"timer 2560 500 "}},
        {"loading url without a string", Invoke("openLoadingUrl", "<number>1</number>"), {}, {}},
        {"show debug, opaque",
         Invoke("ShowDebug", "<string>hello 1:2</string>"),
         {},
         {"debug hello 1:2"}},
        {"show debug, empty string", Invoke("ShowDebug", "<string></string>"), {}, {}},
        {"print debug writes no reply", Invoke("PrintDebug", "<string>x</string>"), {}, {}},
        {"lower-case name", Invoke("brplaymusic"), {}, {}},
        {"unknown name", Invoke("BRPlayMusicNow"), {}, {}},
        {"no name", "<invoke><arguments/></invoke>", {}, {}},
        {"top level not invoke", "<call name=\"BRIsDJContainer\"/>", {}, {}},
        {"invoke below the top level", "<a><invoke name=\"BRIsDJContainer\"/></a>", {}, {}},
        {"other attributes ignored",
         "<invoke returntype=\"xml\" id=\"7\" name=\"BRIsDJContainer\"/>",
         {},
         {kTrue}},
        {"not markup", "BRIsDJContainer", {}, {}},
        {"empty text", "", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        core_.calls.clear();
        SetObject(core_, 61500);
        state_.SetPlayState(PLAY_STATE_PLAYING);
        EXPECT_THAT(harness_.Serve(c.request), ElementsAreArray(c.events));
        EXPECT_THAT(PlayerCalls(), ElementsAreArray(c.playerCalls));
    }
}

// Seconds from milliseconds truncate toward zero, on both sides of zero.
TEST_F(BridgeTest, PositionAndDurationTruncateTowardZero) {
    const struct {
        int ms;
        std::string reply;
    } cases[] = {{61500, "61"},
                 {-1500, "-1"},
                 {999, "0"},
                 {-999, "0"},
                 {0, "0"},
                 {2147483647, "2147483"},
                 {-2147483647 - 1, "-2147483"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ms);
        core_.object.position = c.ms;
        core_.object.duration = c.ms;
        EXPECT_THAT(harness_.Serve(Invoke("BRGetCurrentPosition")),
                    ElementsAreArray({Number(c.reply)}));
        EXPECT_THAT(harness_.Serve(Invoke("BRGetDuration")), ElementsAreArray({Number(c.reply)}));
    }
}

// A refused open answers false; getters without a play object answer 0.
TEST_F(BridgeTest, FailingPlayerCallsAnswerFalseAndZero) {
    core_.result = 5;
    core_.objectResult = 1;
    SetObject(core_, 61500);
    EXPECT_THAT(harness_.Serve(Invoke("BROpenMusic", "<string>x</string>")),
                ElementsAreArray({kFalse}));
    for (const char* getter :
         {"BRGetVolume", "BRGetBufferingProgress", "BRGetCurrentPosition", "BRGetDuration"}) {
        SCOPED_TRACE(getter);
        EXPECT_THAT(harness_.Serve(Invoke(getter)), ElementsAreArray({Number("0")}));
    }
}

// The number replies are the exact document the markup classes build; negative values keep
// their sign; the Boolean reply looks at the low byte only.
TEST_F(BridgeTest, RepliesAreTheExactTexts) {
    const struct {
        int value;
        std::string text;
    } numbers[] = {{80, "<number>80</number>\r\n"},
                   {0, "<number>0</number>\r\n"},
                   {-2147483647 - 1, "<number>-2147483648</number>\r\n"}};
    for (const auto& n : numbers) {
        harness_.events.clear();
        harness_.bridge->ReturnInt(n.value);
        harness_.bridge->ReturnLong(n.value);
        EXPECT_THAT(harness_.events, ElementsAreArray({"reply " + n.text, "reply " + n.text}));
    }
    harness_.events.clear();
    harness_.bridge->ReturnBool(0x100);
    harness_.bridge->ReturnBool(0x101);
    harness_.bridge->SetFlashReturn(nullptr);
    EXPECT_THAT(harness_.events, ElementsAreArray({kFalse, kTrue}));
}

// A control that throws while taking the value: the exception goes no further.
TEST_F(BridgeTest, AThrowingControlIsSwallowed) {
    harness_.throwOnReply = true;
    SetObject(core_, 0);
    EXPECT_NO_THROW(harness_.Serve(Invoke("BRGetVolume")));
    EXPECT_NO_THROW(harness_.Serve(Invoke("BRIsDJContainer")));
    EXPECT_EQ(harness_.replyAttempts, 2);
    EXPECT_THAT(harness_.events, IsEmpty());
}

// GBK text reaches the player byte for byte, also a character whose second byte is '\\' and
// one beside a decoded entity.
TEST_F(BridgeTest, GbkTextReachesThePlayerUnchanged) {
    const std::string title = "\xB8\xE8\xC7\xFA\x81\x5C\x81\x40";
    harness_.Serve(
        Invoke("BROpenMusic", "<string>" + title + "</string><string>\xB8\xE8&amp;</string>"));
    EXPECT_THAT(PlayerCalls(), ElementsAreArray({"Open(" + title + "|\xB8\xE8&|||0|0,0|0)"}));
}

}  // namespace
}  // namespace bridgetest
