#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "movie_player.h"

namespace {

using namespace flash;

std::string Req(const std::string& name) {
    return "<invoke name=\"" + name + "\" returntype=\"xml\"><arguments></arguments></invoke>";
}

Movie Load(const std::string& body) {
    MovieLoad load = ParseMovie("brdj-movie 1\n" + body);
    EXPECT_TRUE(load.ok) << DescribeError(load.error);
    return load.movie;
}

// Answers each call name with the next of its queued replies (the last one repeats; none
// queued: no reply), and tries to re-enter the player from inside every call.
class ScriptedHost : public CallHost {
public:
    std::optional<std::string> FlashCall(const std::string& request) override {
        calls.push_back(request);
        if (player != nullptr) {
            reentered |= player->Click(10, 60, 0);  // on the button of the tests that have one
            size_t before = player->Transcript().size();
            player->Step(1u << 30);
            reentered |= player->Transcript().size() != before;
        }
        auto it = replies.find(request);
        if (it == replies.end() || it->second.empty())
            return std::nullopt;
        std::string reply = it->second.front();
        if (it->second.size() > 1)
            it->second.erase(it->second.begin());
        return reply;
    }
    std::map<std::string, std::vector<std::string>> replies;
    std::vector<std::string> calls;
    MoviePlayer* player = nullptr;
    bool reentered = false;
};

TEST(MoviePlayer, RunsWaitsAndAPollOnTheHostsClock) {
    ScriptedHost host;
    host.replies[Req("BRGetPlayState")] = {"<false />", "<false />", "<true />"};
    MoviePlayer player(Load("call " + Req("BROpenMusic") + "\nwait 500\npoll 100 1000 <true /> | " +
                            Req("BRGetPlayState") + "\ncall " + Req("BRStopMusic") + "\nend\n"),
                       &host, 1000);
    host.player = &player;
    // Steps at the times the player asks for, plus one early step that must do nothing.
    EXPECT_EQ(player.Step(1000), 1500u);
    EXPECT_EQ(player.Step(1499), 1500u);
    EXPECT_EQ(player.Step(1500), 1600u);
    EXPECT_EQ(player.Step(1600), 1700u);
    EXPECT_EQ(player.Step(1700), std::nullopt);
    EXPECT_TRUE(player.Ended());
    EXPECT_FALSE(host.reentered);

    std::vector<std::string> lines;
    for (const auto& e : player.Transcript()) lines.push_back(FormatTranscriptEntry(e));
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "+0ms " + Req("BROpenMusic") + " -> no reply",
                         "+500ms " + Req("BRGetPlayState") + " -> <false />",
                         "+600ms " + Req("BRGetPlayState") + " -> <false />",
                         "+700ms " + Req("BRGetPlayState") + " -> <true />",
                         "+700ms " + Req("BRStopMusic") + " -> no reply",
                     }));
}

TEST(MoviePlayer, APollGivesUpAtItsTimeLimit) {
    ScriptedHost host;
    host.replies[Req("BRGetPlayState")] = {"<false />"};
    MoviePlayer player(Load("poll 100 250 <true /> | " + Req("BRGetPlayState") + "\ncall " +
                            Req("BRStopMusic") + "\n"),
                       &host, 0);
    std::optional<uint64_t> due = 0;
    while (due) due = player.Step(*due);
    ASSERT_EQ(player.Transcript().size(), 4u);  // at 0, 100, 200, then the next statement
    EXPECT_EQ(player.Transcript()[2].ms, 200u);
    EXPECT_EQ(player.Transcript()[3].request, Req("BRStopMusic"));
    EXPECT_EQ(player.Transcript()[3].ms, 200u);
}

// Each entry is one line: the CR LF of a number reply, any other line end and a backslash are
// written as escapes.
TEST(FormatTranscriptEntry, KeepsEveryEntryOnOneLine) {
    const struct {
        std::string request;
        std::optional<std::string> reply;
        const char* line;
    } cases[] = {
        {Req("BRGetVolume"), "<number>80</number>\r\n", "<number>80</number>\\r\\n"},
        {Req("BRPlayMusic"), std::nullopt, "no reply"},
        {Req("BRIsDJContainer"), "<true />", "<true />"},
        {Req("A"), "a\\b\nc", "a\\\\b\\nc"},
    };
    for (const auto& c : cases) {
        const std::string line = FormatTranscriptEntry({42, c.request, c.reply});
        EXPECT_EQ(line, "+42ms " + c.request + " -> " + c.line);
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
    }
    EXPECT_EQ(FormatTranscriptEntry({0, "<invoke>\r\n</invoke>", std::nullopt}),
              "+0ms <invoke>\\r\\n</invoke> -> no reply");
}

// A poll ends at the first reply whose text is that of its REPLY: the bridge's number replies
// end in CR LF, and a poll may name the reply by its text alone.
TEST(MoviePlayer, APollComparesTheTextOfTheReply) {
    const struct {
        const char* until;
        const char* reply;
        bool matches;
    } cases[] = {
        {"<number>3</number>", "<number>3</number>\r\n", true},
        {"<number>3</number>", "<number>3</number>", true},
        {"3", "<number>3</number>\r\n", true},
        {"<true />", "<true/>", true},
        {"<number>3</number>", "<number>30</number>\r\n", false},
        {"<number>3</number>", "<number>2</number>\r\n", false},
        {"<number>3</number>", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.until) + " against " + c.reply);
        ScriptedHost host;
        host.replies[Req("BRGetPlayState")] = {c.reply};
        MoviePlayer player(Load("poll 100 300 " + std::string(c.until) + " | " +
                                Req("BRGetPlayState") + "\ncall " + Req("BRStopMusic") + "\n"),
                           &host, 0);
        std::optional<uint64_t> due = 0;
        while (due) due = player.Step(*due);
        // A match ends the poll at its first call; otherwise it polls at 0, 100, 200, 300.
        const size_t polls = c.matches ? 1 : 4;
        ASSERT_EQ(player.Transcript().size(), polls + 1);
        EXPECT_EQ(player.Transcript().back().request, Req("BRStopMusic"));
        EXPECT_EQ(player.Transcript().back().ms, c.matches ? 0u : 300u);
    }
}

TEST(MoviePlayer, ShowsLabelsLiveRepliesAndButtonsThatCall) {
    ScriptedHost host;
    host.replies[Req("BRGetCurrentPosition")] = {"<number>1</number>", "<number>2</number>"};
    MoviePlayer player(Load("label 4 4 Brindo DJ\nlive 4 30 1000 " + Req("BRGetCurrentPosition") +
                            "\nbutton 10 60 80 20 Play | " + Req("BRPlayMusic") + "\n"),
                       &host, 0);
    host.player = &player;
    EXPECT_EQ(player.Step(0), 1000u);
    std::vector<ShownItem> shown = player.Shown();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].text, "Brindo DJ");
    EXPECT_EQ(shown[1].text, "<number>1</number>");
    EXPECT_TRUE(shown[2].button);
    EXPECT_EQ(shown[2].text, "Play");

    const struct {
        int32_t x, y;
        bool hit;
    } clicks[] = {{10, 60, true}, {89, 79, true}, {90, 60, false}, {10, 80, false}, {9, 70, false}};
    size_t made = 0;
    for (const auto& c : clicks) {
        EXPECT_EQ(player.Click(c.x, c.y, 500), c.hit) << c.x << "," << c.y;
        made += c.hit;
    }
    EXPECT_EQ(host.calls.size(), 1 + made);
    EXPECT_EQ(host.calls.back(), Req("BRPlayMusic"));
    EXPECT_EQ(player.Step(1000), 2000u);
    EXPECT_EQ(player.Shown()[1].text, "<number>2</number>");
    EXPECT_FALSE(host.reentered);
}

TEST(MoviePlayer, EndStopsLiveLabels) {
    ScriptedHost host;
    MoviePlayer player(Load("live 0 0 100 " + Req("BRGetDuration") + "\nwait 250\nend\n"), &host,
                       0);
    std::optional<uint64_t> due = 0;
    while (due) due = player.Step(*due);
    EXPECT_EQ(host.calls.size(), 3u);  // at 0, 100, 200
    EXPECT_TRUE(player.Ended());
}

}  // namespace
