// CPlayerCtrl against a recording core: commands map 0 to true, the getter rule for the whole
// family, and nothing called without a core.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "media_play.h"
#include "player_ctrl.h"
#include "recording_player_core.h"

namespace {

using playertest::RecordingPlayerCore;
using Calls = std::vector<std::string>;

struct CommandCase {
    const char* name;
    std::function<bool(CPlayerCtrl&)> run;
    const char* call;  // what the core hears
};

void PrintTo(const CommandCase& c, std::ostream* os) {
    *os << c.name;
}

class CommandTest : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CommandTest, TrueOnlyWhenTheCoreReturnsZero) {
    const CommandCase& c = GetParam();
    for (int result : {0, 1, 2, -1}) {
        RecordingPlayerCore core;
        core.result = result;
        CPlayerCtrl player;
        player.SetCore(&core);
        EXPECT_EQ(c.run(player), result == 0) << "core result " << result;
        EXPECT_EQ(core.calls, Calls{c.call});
    }
}

TEST_P(CommandTest, WithoutACoreFalse) {
    CPlayerCtrl player;
    EXPECT_FALSE(GetParam().run(player));
}

CPlayItem AnItem() {
    CPlayItem item;
    item.Set("song", "", "", "", 0, Sign(), 0);
    return item;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandTest,
    ::testing::Values(
        CommandCase{"Open", [](CPlayerCtrl& p) { return p.Open(AnItem()); }, "Open"},
        CommandCase{"Play", [](CPlayerCtrl& p) { return p.Play(); }, "Play"},
        CommandCase{"Pause", [](CPlayerCtrl& p) { return p.Pause(); }, "Pause"},
        CommandCase{"Stop", [](CPlayerCtrl& p) { return p.Stop(); }, "Stop"},
        CommandCase{"SetPosition", [](CPlayerCtrl& p) { return p.SetPosition(-61500); },
                    "SetPosition(-61500)"},
        CommandCase{"SetVolume", [](CPlayerCtrl& p) { return p.SetVolume(80); }, "SetVolume(80)"}),
    [](const auto& info) { return std::string(info.param.name); });

// Init reads H, A, B through three play-object requests, then registers g_MediaPlay.
TEST(PlayerInit, ReadsThreeValuesThenRegistersTheReceiver) {
    for (int result : {0, 1}) {
        RecordingPlayerCore core;
        core.result = result;
        CPlayerCtrl player;
        player.SetCore(&core);
        EXPECT_EQ(player.Init(), result == 0);
        EXPECT_EQ(core.calls, (Calls{"GetPlayObject", "GetNumberH", "GetPlayObject", "GetNumberA",
                                     "GetPlayObject", "GetNumberB", "Init(0,0,0)"}));
        EXPECT_EQ(core.initReceiver, &g_MediaPlay);
    }
}

TEST(PlayerInit, WithoutACoreFalse) {
    CPlayerCtrl player;
    EXPECT_FALSE(player.Init());
}

struct GetterCase {
    const char* name;
    std::function<bool(CPlayerCtrl&, int&)> get;
    int value;         // what it gives from the object below
    const char* read;  // the object's call, or nullptr for none
    bool alwaysTrue;   // GetBufferingProgress
};

void PrintTo(const GetterCase& c, std::ostream* os) {
    *os << c.name;
}

void FillObject(playertest::RecordingPlayObject& object) {
    object.volume = 80;
    object.duration = 61500;
    object.position = -1500;
    object.bufferFirst = 42;
    object.bufferSecond = 99;
    object.numberH = 8;
    object.numberA = 6;
    object.numberB = 7;
}

class GetterTest : public ::testing::TestWithParam<GetterCase> {};

TEST_P(GetterTest, TheObjectsValueFromAFreshRequest) {
    const GetterCase& c = GetParam();
    RecordingPlayerCore core;
    FillObject(core.object);
    CPlayerCtrl player;
    player.SetCore(&core);
    for (int round = 0; round < 2; ++round) {
        int out = -7;
        EXPECT_TRUE(c.get(player, out));
        EXPECT_EQ(out, c.value);
    }
    Calls once{"GetPlayObject"};
    if (c.read) {
        once.push_back(c.read);
    }
    Calls twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_EQ(core.calls, twice);
}

// A refused play-object request, a null object and no core all give 0.
TEST_P(GetterTest, ZeroWhenThePlayObjectCannotBeHad) {
    const GetterCase& c = GetParam();
    struct Failure {
        const char* name;
        int objectResult;
        bool withObject;
        bool withCore;
    };
    for (const Failure& f :
         {Failure{"refused", 1, true, true}, Failure{"null", 0, false, true},
          Failure{"refused_and_null", 1, false, true}, Failure{"no_core", 0, true, false}}) {
        RecordingPlayerCore core;
        FillObject(core.object);
        core.objectResult = f.objectResult;
        core.withObject = f.withObject;
        CPlayerCtrl player;
        if (f.withCore) {
            player.SetCore(&core);
        }
        int out = -7;
        EXPECT_EQ(c.get(player, out), c.alwaysTrue) << f.name;
        EXPECT_EQ(out, 0) << f.name;
        EXPECT_EQ(core.calls, f.withCore ? Calls{"GetPlayObject"} : Calls{}) << f.name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GetterTest,
    ::testing::Values(
        GetterCase{"GetVolume", [](CPlayerCtrl& p, int& o) { return p.GetVolume(o); }, 80,
                   "GetVolume", false},
        GetterCase{"GetDuration", [](CPlayerCtrl& p, int& o) { return p.GetDuration(o); }, 61500,
                   "GetDuration", false},
        GetterCase{"GetPosition", [](CPlayerCtrl& p, int& o) { return p.GetPosition(o); }, -1500,
                   "GetPosition", false},
        GetterCase{"GetBufferPair", [](CPlayerCtrl& p, int& o) { return p.GetBufferPair(o); }, 42,
                   "GetBufferInfo", false},
        GetterCase{"GetBufferingProgress",
                   [](CPlayerCtrl& p, int& o) { return p.GetBufferingProgress(o); }, 42,
                   "GetBufferInfo", true},
        GetterCase{"QueryItemValue_0_is_H",
                   [](CPlayerCtrl& p, int& o) { return p.QueryItemValue(0, o); }, 8, "GetNumberH",
                   false},
        GetterCase{"QueryItemValue_1_is_A",
                   [](CPlayerCtrl& p, int& o) { return p.QueryItemValue(1, o); }, 6, "GetNumberA",
                   false},
        GetterCase{"QueryItemValue_2_is_B",
                   [](CPlayerCtrl& p, int& o) { return p.QueryItemValue(2, o); }, 7, "GetNumberB",
                   false},
        GetterCase{"QueryItemValue_3_reads_nothing",
                   [](CPlayerCtrl& p, int& o) { return p.QueryItemValue(3, o); }, 0, nullptr,
                   false},
        GetterCase{"QueryItemValue_minus_1_reads_nothing",
                   [](CPlayerCtrl& p, int& o) { return p.QueryItemValue(-1, o); }, 0, nullptr,
                   false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
