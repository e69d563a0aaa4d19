// The folder a movie came from, and its place in the movie's requests.
#include <gtest/gtest.h>

#include <filesystem>

#include "movie_folder.h"

namespace {

using namespace flash;

TEST(MovieFolder, OfAFileOrAnAddress) {
    const std::string cwd = std::filesystem::current_path().string();
    const struct {
        std::string movie, folder;
    } cases[] = {
        {"/opt/brdj/loadingVer.swf", "/opt/brdj"},
        {"/opt/brdj/./bin/../loadingVer.swf", "/opt/brdj"},
        {"loadingVer.swf", cwd},
        {"movies/a.swf", cwd + "/movies"},
        {"http://127.0.0.1:8080/dj/loading.swf", "http://127.0.0.1:8080/dj"},
        {"HTTPS://host/a/b/c.swf?from=/x/y#top", "HTTPS://host/a/b"},
        {"http://host/loading.swf", "http://host"},
        {"http://host", "http://host"},
        {"http://host?x=/y", "http://host"},
    };
    for (const auto& c : cases) EXPECT_EQ(MovieFolder(c.movie), c.folder) << c.movie;
}

TEST(PlaceMovieFolder, InEveryRequestEscapedForXml) {
    auto req = [](const std::string& args) {
        return "<invoke name=\"A\" returntype=\"xml\"><arguments>" + args + "</arguments></invoke>";
    };
    const std::string mark = "<string>{movie-folder}/t.flac</string>";
    MovieLoad load = ParseMovie("brdj-movie 1\ncall " + req(mark + mark) + "\npoll 10 20 x | " +
                                req(mark) + "\nlive 0 0 10 " + req(mark) + "\nbutton 0 0 5 5 " +
                                "{movie-folder} | " + req(mark) + "\nlabel 0 0 {movie-folder}\n");
    ASSERT_TRUE(load.ok) << DescribeError(load.error);
    PlaceMovieFolder(&load.movie, "/home/d&j/<mix>");
    const std::string placed = "<string>/home/d&amp;j/&lt;mix&gt;/t.flac</string>";
    const auto& s = load.movie.statements;
    EXPECT_EQ(std::get<Call>(s[0]).request, req(placed + placed));
    EXPECT_EQ(std::get<Poll>(s[1]).request, req(placed));
    EXPECT_EQ(std::get<LiveLabel>(s[2]).request, req(placed));
    EXPECT_EQ(std::get<Button>(s[3]).request, req(placed));
    // Texts shown are not requests: they stay as written.
    EXPECT_EQ(std::get<Button>(s[3]).text, "{movie-folder}");
    EXPECT_EQ(std::get<Label>(s[4]).text, "{movie-folder}");
}

TEST(PlaceMovieFolder, AFolderThatContainsTheMarkIsPlacedOnce) {
    MovieLoad load = ParseMovie(
        "brdj-movie 1\ncall <invoke name=\"A\" returntype=\"xml\"><arguments><string>"
        "{movie-folder}/a</string></arguments></invoke>\n");
    ASSERT_TRUE(load.ok);
    PlaceMovieFolder(&load.movie, "/x/{movie-folder}");
    EXPECT_EQ(std::get<Call>(load.movie.statements[0]).request,
              "<invoke name=\"A\" returntype=\"xml\"><arguments><string>/x/{movie-folder}/a"
              "</string></arguments></invoke>");
}

}  // namespace
