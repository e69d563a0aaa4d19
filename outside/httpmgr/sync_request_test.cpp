// The synchronous request against a server on 127.0.0.1: what is sent, what is held, and the
// failures that must end within the time limits.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <mutex>

#include "http_request_mgr.h"
#include "http_test_server.h"

namespace {

using std::chrono::steady_clock;

class SyncRequestTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("BRHTTP_CONNECT_TIMEOUT_MS", "1000", 1);
        setenv("BRHTTP_STALL_TIMEOUT_MS", "400", 1);
        server_.Server().Post("/fans.br",
                              [this](const httplib::Request& req, httplib::Response& res) {
                                  std::lock_guard<std::mutex> lock(mutex_);  // test reads
                                  body_ = req.body;
                                  type_ = req.get_header_value("Content-Type");
                                  res.set_content("<reply>1</reply>", "text/xml");
                              });
        server_.Server().Post("/error", [](const httplib::Request&, httplib::Response& res) {
            res.status = 500;
            res.set_content("<html>oops</html>", "text/html");
        });
        server_.Server().Post("/empty", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("", "text/xml");
        });
        server_.Server().Post("/silent", [this](const httplib::Request&, httplib::Response& res) {
            server_.Hold();
            res.set_content("late", "text/plain");
        });
        server_.Server().Post("/huge", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(std::string((16u << 20) + 1, 'x'), "text/plain");
        });
        ASSERT_TRUE(server_.Start());
    }
    void TearDown() override {
        unsetenv("BRHTTP_CONNECT_TIMEOUT_MS");
        unsetenv("BRHTTP_STALL_TIMEOUT_MS");
    }

    IHttpRequestMgr* mgr_ = AfxGetHttpRequestMgr();
    std::mutex mutex_;
    std::string body_, type_;
    httptest::TestHttpServer server_;  // last: stopped before what its handlers use goes
};

TEST_F(SyncRequestTest, PostsTheBodyAndHoldsTheReplyUntilReleased) {
    int id = 0, status = -1;
    ASSERT_NE(mgr_->SyncRequest(server_.Url("/fans.br"), kHttpRequestPost,
                                "<brindo_fans><cmd>getver</cmd></brindo_fans>", id, status, 0),
              0);
    EXPECT_GT(id, 0);
    EXPECT_EQ(status, 200);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        EXPECT_EQ(body_, "<brindo_fans><cmd>getver</cmd></brindo_fans>");
        EXPECT_EQ(type_, "text/xml");
    }

    for (int round = 0; round < 2; ++round) {  // every call hands out a copy of its own
        char* buffer = nullptr;
        int length = 0, replyStatus = 0;
        ASSERT_NE(mgr_->GetResponseData(id, buffer, length, replyStatus), 0);
        std::unique_ptr<char[]> owned(buffer);
        EXPECT_EQ(length, 16);
        EXPECT_EQ(std::string(buffer, length + 1), std::string("<reply>1</reply>\0", 17));
        EXPECT_EQ(replyStatus, 200);
    }
    EXPECT_EQ(mgr_->ReleaseRequest(id), 1);
    char* buffer = reinterpret_cast<char*>(1);
    int length = 7, replyStatus = 7;
    EXPECT_EQ(mgr_->GetResponseData(id, buffer, length, replyStatus), 0);
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(mgr_->ReleaseRequest(id), 0);
}

TEST_F(SyncRequestTest, AnErrorPageAndAnEmptyBodyAreReplies) {
    const struct {
        const char* path;
        int status;
        std::string body;
    } cases[] = {{"/error", 500, "<html>oops</html>"}, {"/empty", 200, ""}};
    for (const auto& c : cases) {
        int id = 0, status = 0;
        ASSERT_NE(mgr_->SyncRequest(server_.Url(c.path), kHttpRequestPost, "x", id, status, 0), 0)
            << c.path;
        EXPECT_EQ(status, c.status);
        char* buffer = nullptr;
        int length = -1, replyStatus = 0;
        ASSERT_NE(mgr_->GetResponseData(id, buffer, length, replyStatus), 0);
        std::unique_ptr<char[]> owned(buffer);
        ASSERT_NE(buffer, nullptr);
        EXPECT_EQ(std::string(buffer, length), c.body);
        EXPECT_EQ(buffer[length], '\0');
        EXPECT_EQ(mgr_->ReleaseRequest(id), 1);
    }
}

// Every failure ends within the limits, fills in an id, holds no reply and stays releasable.
TEST_F(SyncRequestTest, FailuresEndInTimeWithAnIdAndNoReply) {
    std::string refused = "http://127.0.0.1:" + std::to_string(httptest::UnusedPort()) + "/x";

    const struct {
        std::string name, url;
        int kind;
    } cases[] = {
        {"refused", refused, kHttpRequestPost},
        {"silent server, stall limit", server_.Url("/silent"), kHttpRequestPost},
        {"reply over 16 MiB", server_.Url("/huge"), kHttpRequestPost},
        {"unknown request kind", server_.Url("/fans.br"), 0},
        {"no url", "", kHttpRequestPost},
    };
    for (const auto& c : cases) {
        int id = 0, status = -1;
        auto start = steady_clock::now();
        EXPECT_EQ(mgr_->SyncRequest(c.url, c.kind, "x", id, status, 0), 0) << c.name;
        EXPECT_LT(steady_clock::now() - start, std::chrono::seconds(5)) << c.name;
        EXPECT_GT(id, 0) << c.name;
        EXPECT_EQ(status, 0) << c.name;
        char* buffer = nullptr;
        int length = 0, replyStatus = 0;
        EXPECT_EQ(mgr_->GetResponseData(id, buffer, length, replyStatus), 0) << c.name;
        EXPECT_EQ(buffer, nullptr);
        EXPECT_EQ(mgr_->ReleaseRequest(id), 1) << c.name;
    }
    server_.Release();
}

TEST_F(SyncRequestTest, UnknownIdsAndFreeSlots) {
    char* buffer = nullptr;
    int length = 0, status = 0;
    EXPECT_EQ(mgr_->GetResponseData(123456, buffer, length, status), 0);
    EXPECT_EQ(mgr_->ReleaseRequest(123456), 0);
    EXPECT_EQ(mgr_->Reserved1(), 0);
    EXPECT_EQ(mgr_->Reserved2(), 0);
    EXPECT_EQ(mgr_->Reserved5(), 0);
    EXPECT_EQ(AfxGetHttpRequestMgr(), mgr_);
}

}  // namespace
