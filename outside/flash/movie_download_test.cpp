#include <gtest/gtest.h>

#include "http_test_server.h"
#include "movie.h"
#include "movie_download.h"

namespace {

using namespace flash;

TEST(DownloadMovie, GivesTheBodyWithRisingProgressOrTheReasonItFailed) {
    httptest::TestHttpServer server;
    const std::string movie = "brdj-movie 1\nend\n";
    server.Server().Get("/movie.txt", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content(movie, "text/plain");
    });
    server.Server().Get("/moved", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("/movie.txt");
    });
    server.Server().Get("/big", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(std::string(kMaxMovieBytes + 1, 'x'), "text/plain");
    });
    server.Server().Get("/hold", [&](const httplib::Request&, httplib::Response& res) {
        server.Hold();
        res.set_content(movie, "text/plain");
    });
    ASSERT_TRUE(server.Start());
    const std::string refused = "http://127.0.0.1:" + std::to_string(httptest::UnusedPort()) + "/";
    const struct {
        const char* name;
        std::string url;
        const char* error;  // nullptr: the movie comes
    } cases[] = {
        {"a movie", server.Url("/movie.txt"), nullptr},
        {"a redirect", server.Url("/moved"), nullptr},
        {"no such path", server.Url("/none"), "HTTP status 404"},
        {"too large", server.Url("/big"), "larger than 1 MiB"},
        {"refused", refused, "cannot download"},
    };
    for (const auto& c : cases) {
        std::vector<int> progress;
        std::atomic<bool> cancel{false};
        FetchResult r = DownloadMovie(
            c.url, [&](int p) { progress.push_back(p); }, cancel);
        if (c.error == nullptr) {
            EXPECT_TRUE(r.ok) << c.name << ": " << r.error;
            EXPECT_EQ(r.text, movie) << c.name;
            ASSERT_FALSE(progress.empty()) << c.name;
            EXPECT_EQ(progress.back(), 100) << c.name;
            EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end())) << c.name;
        } else {
            EXPECT_FALSE(r.ok) << c.name;
            EXPECT_TRUE(r.text.empty()) << c.name;
            EXPECT_NE(r.error.find(c.error), std::string::npos) << c.name << ": " << r.error;
        }
    }
    // A download that is cancelled ends at once, whatever the server does.
    std::atomic<bool> cancel{true};
    FetchResult r = DownloadMovie(server.Url("/hold"), nullptr, cancel);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "cancelled");
}

TEST(IsWebAddress, KnowsHttpAndHttpsInAnyCase) {
    EXPECT_TRUE(IsWebAddress("http://h/m"));
    EXPECT_TRUE(IsWebAddress("HTTPS://h/m"));
    EXPECT_FALSE(IsWebAddress("ftp://h/m"));
    EXPECT_FALSE(IsWebAddress("/srv/http://x"));
    EXPECT_FALSE(IsWebAddress("http:/h"));
}

}  // namespace

namespace {

// A server that accepts and then sends nothing: the stall limit ends the download.
TEST(DownloadMovie, AServerThatStallsIsGivenUpAfterTheStallLimit) {
    httptest::TestHttpServer server;
    server.Server().Get("/stall", [&](const httplib::Request&, httplib::Response& res) {
        server.Hold();
        res.set_content("brdj-movie 1\n", "text/plain");
    });
    ASSERT_TRUE(server.Start());
    std::atomic<bool> cancel{false};
    const auto start = std::chrono::steady_clock::now();
    flash::FetchResult r = flash::DownloadMovie(server.Url("/stall"), nullptr, cancel);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("cannot download"), std::string::npos) << r.error;
    EXPECT_GE(took, std::chrono::seconds(flash::kStallLimitSeconds));
    EXPECT_LT(took, std::chrono::milliseconds(flash::kDownloadLimitMs));
}

}  // namespace
