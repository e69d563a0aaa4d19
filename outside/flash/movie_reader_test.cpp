#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "movie.h"
#include "request_xml.h"

namespace {

using namespace flash;

const std::string kOpen =
    "<invoke name=\"BROpenMusic\" returntype=\"xml\"><arguments><string>a.mp3</string>"
    "</arguments></invoke>";
const std::string kState =
    "<invoke name=\"BRGetPlayState\" returntype=\"xml\"><arguments></arguments></invoke>";

TEST(ParseMovie, ReadsEveryStatement) {
    const std::string text =
        "\xEF\xBB\xBF# a test movie\n"
        "brdj-movie 1\n"
        "\n"
        "call " +
        kOpen +
        "\n"
        "wait 500\r\n"
        "poll 250 10000 <true /> | " +
        kState +
        "\n"
        "label 10 -20 播放器 ready\n"
        "live 10 40 1000 " +
        kState +
        "\n"
        "button 1 2 80 24 Play it | " +
        kOpen +
        "\n"
        "stage 640 480\n"
        "end\n";
    MovieLoad load = ParseMovie(text);
    ASSERT_TRUE(load.ok) << DescribeError(load.error);
    EXPECT_EQ(load.movie.stageWidth, 640);
    EXPECT_EQ(load.movie.stageHeight, 480);
    const auto& s = load.movie.statements;
    ASSERT_EQ(s.size(), 7u);
    EXPECT_EQ(std::get<Call>(s[0]).request, kOpen);
    EXPECT_EQ(std::get<Wait>(s[1]).ms, 500u);
    const Poll& poll = std::get<Poll>(s[2]);
    EXPECT_EQ(poll.everyMs, 250u);
    EXPECT_EQ(poll.limitMs, 10000u);
    EXPECT_EQ(poll.until, "<true />");
    EXPECT_EQ(poll.request, kState);
    const Label& label = std::get<Label>(s[3]);
    EXPECT_EQ(label.x, 10);
    EXPECT_EQ(label.y, -20);
    EXPECT_EQ(label.text, "播放器 ready");
    const LiveLabel& live = std::get<LiveLabel>(s[4]);
    EXPECT_EQ(live.everyMs, 1000u);
    EXPECT_EQ(live.request, kState);
    const Button& button = std::get<Button>(s[5]);
    EXPECT_EQ(button.width, 80);
    EXPECT_EQ(button.height, 24);
    EXPECT_EQ(button.text, "Play it");
    EXPECT_EQ(button.request, kOpen);
    EXPECT_TRUE(std::holds_alternative<End>(s[6]));
}

TEST(ParseMovie, RefusesMalformedMoviesWithTheLineAndReason) {
    const std::string head = "brdj-movie 1\n";
    const struct {
        const char* name;
        std::string text;
        int line;
        const char* message;
    } cases[] = {
        {"empty", "", 0, "the movie is empty"},
        {"only comments", "# nothing\n\n", 0, "the movie is empty"},
        {"no header", "call " + kOpen, 1, "the first line must be \"brdj-movie 1\""},
        {"other version", "brdj-movie 2\n", 1, "the first line must be \"brdj-movie 1\""},
        {"binary", head + std::string("wait 1\0", 7), 0, "the movie is not text"},
        {"unknown statement", head + "jump 3\n", 2, "unknown statement \"jump\""},
        {"wait without number", head + "wait\n", 2, "wait needs one number of milliseconds"},
        {"wait negative", head + "wait -1\n", 2, "wait needs one number of milliseconds"},
        {"wait too long", head + "wait 86400001\n", 2, "wait needs one number of milliseconds"},
        {"wait with extra", head + "wait 5 6\n", 2, "wait needs one number of milliseconds"},
        {"poll every 0", head + "poll 0 10 <true /> | " + kState + "\n", 2,
         "poll needs an interval above 0 and a time limit in milliseconds"},
        {"poll without bar", head + "poll 5 10 <true /> " + kState + "\n", 2,
         "poll needs a reply, \" | \" and a call"},
        {"call not xml", head + "call BRPlayMusic\n", 2, "a call must start with <invoke name=\""},
        {"call without name",
         head + "call <invoke name=\"\" returntype=\"xml\"><arguments></arguments></invoke>\n", 2,
         "the call's name is missing"},
        {"call without returntype",
         head + "call <invoke name=\"A\"><arguments></arguments></invoke>\n", 2,
         "the call needs returntype=\"xml\""},
        {"call not closed",
         head + "call <invoke name=\"A\" returntype=\"xml\"><arguments></arguments>\n", 2,
         "the call must end with </invoke>"},
        {"call without arguments", head + "call <invoke name=\"A\" returntype=\"xml\"></invoke>\n",
         2, "the call needs one <arguments> element"},
        {"label without position", head + "label hello\n", 2, "label needs a position x y"},
        {"coordinate out of range", head + "label 40000 1 x\n", 2, "label needs a position x y"},
        {"live interval 0", head + "live 1 1 0 " + kState + "\n", 2,
         "live needs a position x y and an interval above 0"},
        {"button zero width", head + "button 1 1 0 5 Go | " + kOpen + "\n", 2,
         "button needs a rectangle x y width height"},
        {"button without text", head + "button 1 1 5 5 | " + kOpen + "\n", 2,
         "button needs a text, \" | \" and a call"},
        {"end with text", head + "end now\n", 2, "end takes nothing"},
        {"stage twice", head + "stage 10 10\nstage 10 10\n", 3, "stage is given twice"},
        {"stage zero", head + "stage 0 10\n", 2, "stage needs a width and a height above 0"},
        {"stage one number", head + "stage 10\n", 2, "stage needs a width and a height above 0"},
        {"stage with extra", head + "stage 10 10 3\n", 2,
         "stage needs a width and a height above 0"},
        {"error after good lines", head + "wait 1\n\n# c\nwait x\n", 5,
         "wait needs one number of milliseconds"},
        {"too large", head + std::string(kMaxMovieBytes, '#'), 0, "the movie is larger than 1 MiB"},
    };
    for (const auto& c : cases) {
        MovieLoad load = ParseMovie(c.text);
        EXPECT_FALSE(load.ok) << c.name;
        EXPECT_TRUE(load.movie.statements.empty()) << c.name;
        EXPECT_EQ(load.error.line, c.line) << c.name;
        EXPECT_EQ(load.error.message, c.message) << c.name;
    }
}

TEST(ParseMovie, LimitsTheNumberOfStatements) {
    std::string text = "brdj-movie 1\n";
    for (size_t i = 0; i < kMaxStatements; ++i) text += "wait 1\n";
    EXPECT_TRUE(ParseMovie(text).ok);
    MovieLoad load = ParseMovie(text + "wait 1\n");
    EXPECT_FALSE(load.ok);
    EXPECT_EQ(DescribeError(load.error), "line 4098: more than 4096 statements");
}

TEST(ReadMovieFile, ReadsAFileAndSaysWhyItCannot) {
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("flash_movie_" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "ok.txt") << "brdj-movie 1\nwait 3\nend\n";
    MovieLoad load = ReadMovieFile((dir / "ok.txt").string());
    EXPECT_TRUE(load.ok);
    EXPECT_EQ(load.movie.statements.size(), 2u);

    load = ReadMovieFile((dir / "missing.txt").string());
    EXPECT_FALSE(load.ok);
    EXPECT_EQ(DescribeError(load.error), "cannot open " + (dir / "missing.txt").string());

    load = ReadMovieFile(dir.string());  // a folder opens but cannot be read
    EXPECT_FALSE(load.ok);
    EXPECT_FALSE(load.error.message.empty());
    fs::remove_all(dir);
}

}  // namespace

namespace {

TEST(ReplyText, ShowsTheTextOfAOneElementReplyAndAnyOtherReplyAsItIs) {
    const struct {
        const char* reply;
        const char* shown;
    } cases[] = {
        {"<number>215</number>", "215"},
        {"<number>80</number>\r\n", "80"},
        {" <true />\n", "true"},
        {"<a><b>1</b></a>\r\n", "<a><b>1</b></a>"},
        {"\r\n", ""},
        {"<string>歌</string>", "歌"},
        {"<true />", "true"},
        {"<false/>", "false"},
        {"<string></string>", ""},
        {"<number>1</string>", "<number>1</string>"},
        {"<a><b>1</b></a>", "<a><b>1</b></a>"},
        {"<a b>1</a b>", "<a b>1</a b>"},
        {"plain", "plain"},
        {"</>", "</>"},
        {"<>x</>", "<>x</>"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(flash::ReplyText(c.reply), c.shown) << c.reply;
}

}  // namespace
