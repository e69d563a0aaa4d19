// Downloads against a server on 127.0.0.1: the reports, the file that appears only when complete,
// and the outcomes of a missing file, a server that dies, stalls or cannot be reached.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <vector>

#include "http_request_mgr.h"
#include "http_test_server.h"
#include "test_root.h"
#include "wait_until.h"

namespace {

using std::chrono::steady_clock;
namespace fs = std::filesystem;

enum Slot { kBegin = 0, kProgress = 1, kStopped = 2, kFileFinished = 3, kFailed = 5 };

struct Report {
    int slot;
    int id;
    std::string path;
    long long value;  // begin: size; progress: current size; failed: error
};

// Records every report; the final one wakes the test.
class RecordingObserver : public IBrHttpRequestObserver {
public:
    void OnDownloadBegin(int id, std::string path, unsigned size) override {
        Add({kBegin, id, path, size});
    }
    void OnDownloadProgress(int id, int, int current, int) override {
        Add({kProgress, id, "", current});
    }
    void OnDownloadStopped(int id) override { Add({kStopped, id, "", 0}); }
    void OnDownloadFileFinished(int id, std::string path, int) override {
        Add({kFileFinished, id, path, 0});
    }
    void OnDownloadFailed(int id, int error) override { Add({kFailed, id, "", error}); }

    // The reports once a final one came, or what there is after the time.
    std::vector<Report> WaitFinal(std::chrono::seconds longest = std::chrono::seconds(20)) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait_for(lock, longest, [this] { return finals_ > 0; });
        return reports_;
    }

private:
    void Add(Report report) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (report.slot == kFileFinished || report.slot == kFailed || report.slot == kStopped) {
            ++finals_;
        }
        reports_.push_back(std::move(report));
        changed_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Report> reports_;
    int finals_ = 0;
};

std::string Body(size_t size) {
    std::string body(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        body[i] = static_cast<char>((i * 131) ^ (i >> 7));
    }
    return body;
}

// Names of the files in a folder.
std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

class DownloadTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("BRHTTP_CONNECT_TIMEOUT_MS", "700", 1);
        setenv("BRHTTP_STALL_TIMEOUT_MS", "500", 1);
        dir_ = root_.Path() + "/data";
        fs::create_directories(dir_);
        target_ = dir_ + "/BRDJ_1.0.0.2.exe";
        auto& svr = server_.Server();
        svr.Get("/inspack/whole", [this](const httplib::Request&, httplib::Response& res) {
            res.set_content(body_, "application/octet-stream");
        });
        svr.Get("/inspack/dies", [this](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(
                body_.size(), "application/octet-stream",
                [this](size_t offset, size_t, httplib::DataSink& sink) {
                    if (offset > 0) {
                        return false;  // closes the connection in the middle of the body
                    }
                    return sink.write(body_.data(), 4096);
                });
        });
        svr.Get("/inspack/stalls", [this](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(body_.size(), "application/octet-stream",
                                     [this](size_t offset, size_t, httplib::DataSink& sink) {
                                         if (offset > 0) {
                                             server_.Hold();
                                             return false;
                                         }
                                         return sink.write(body_.data(), 4096);
                                     });
        });
        ASSERT_TRUE(server_.Start());
    }
    void TearDown() override {
        server_.Release();
        unsetenv("BRHTTP_CONNECT_TIMEOUT_MS");
        unsetenv("BRHTTP_STALL_TIMEOUT_MS");
    }

    brtest::ScopedTestRoot root_;
    IHttpRequestMgr* mgr_ = AfxGetHttpRequestMgr();
    std::string body_ = Body(300 * 1024);
    std::string dir_, target_;
    httptest::TestHttpServer server_;  // last: stopped before what its handlers use goes
};

TEST_F(DownloadTest, FinishedDownloadStandsWholeUnderItsName) {
    ASSERT_TRUE(brtest::WriteFile(target_, "an older installer"));
    RecordingObserver observer;
    int id = mgr_->StartDownload(server_.Url("/inspack/whole"), &observer, target_, 0);
    ASSERT_GT(id, 0);
    std::vector<Report> reports = observer.WaitFinal();
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(reports.front().slot, kBegin);
    EXPECT_EQ(reports.front().path, target_);
    EXPECT_EQ(reports.front().value, static_cast<long long>(body_.size()));
    EXPECT_EQ(reports.back().slot, kFileFinished);
    EXPECT_EQ(reports.back().path, target_);
    for (const Report& report : reports) {
        EXPECT_EQ(report.id, id);
        if (report.slot == kProgress) {
            EXPECT_LE(report.value, static_cast<long long>(body_.size()));
        }
    }
    EXPECT_EQ(brtest::ReadFile(target_), body_);
    EXPECT_EQ(FilesIn(dir_), std::vector<std::string>{"BRDJ_1.0.0.2.exe"});  // no part file
}

// A failure reports once, leaves what stood under the name untouched and no part file.
TEST_F(DownloadTest, FailuresLeaveTheTargetAsItWas) {
    const struct {
        std::string name, url;
        long long error;
    } cases[] = {
        {"missing file", server_.Url("/inspack/none"), 404},
        {"server dies mid-body", server_.Url("/inspack/dies"), 18},      // CURLE_PARTIAL_FILE
        {"server stalls mid-body", server_.Url("/inspack/stalls"), 28},  // stall limit
        {"nobody listens",
         "http://127.0.0.1:" + std::to_string(httptest::UnusedPort()) + "/inspack/x", 7},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(brtest::WriteFile(target_, "an older installer"));
        RecordingObserver observer;
        auto start = steady_clock::now();
        int id = mgr_->StartDownload(c.url, &observer, target_, 0);
        ASSERT_GT(id, 0) << c.name;
        std::vector<Report> reports = observer.WaitFinal();
        EXPECT_LT(steady_clock::now() - start, std::chrono::seconds(8)) << c.name;
        ASSERT_FALSE(reports.empty()) << c.name;
        EXPECT_EQ(reports.back().slot, kFailed) << c.name;
        EXPECT_EQ(reports.back().value, c.error) << c.name;
        EXPECT_EQ(reports.back().id, id) << c.name;
        EXPECT_EQ(brtest::ReadFile(target_), "an older installer") << c.name;
        EXPECT_EQ(FilesIn(dir_), std::vector<std::string>{"BRDJ_1.0.0.2.exe"}) << c.name;
        EXPECT_TRUE(
            brtest::NothingFor(std::chrono::milliseconds(100),
                               [&] { return observer.WaitFinal().size() != reports.size(); }))
            << c.name << ": reports after the end";
    }
}

// A server whose queue of connections is full never completes the connection: only the connect
// limit ends the download.
TEST_F(DownloadTest, ConnectLimitEndsAConnectionThatNeverStands) {
    int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), size), 0);
    ASSERT_EQ(listen(listener, 0), 0);
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
    std::vector<int> fillers;
    for (int i = 0; i < 4; ++i) {  // fill the queue; later handshakes get no answer
        int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        connect(fd, reinterpret_cast<sockaddr*>(&address), size);
        fillers.push_back(fd);
    }
    setenv("BRHTTP_STALL_TIMEOUT_MS", "60000", 1);  // so that only the connect limit can end it
    RecordingObserver observer;
    auto start = steady_clock::now();
    std::string url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/x";
    ASSERT_GT(mgr_->StartDownload(url, &observer, target_, 0), 0);
    std::vector<Report> reports = observer.WaitFinal();
    auto took = steady_clock::now() - start;
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].slot, kFailed);
    EXPECT_EQ(reports[0].value, 28);  // CURLE_OPERATION_TIMEDOUT
    EXPECT_GE(took, std::chrono::milliseconds(600));
    EXPECT_LT(took, std::chrono::seconds(5));
    for (int fd : fillers) {
        close(fd);
    }
    close(listener);
}

TEST_F(DownloadTest, AFileThatCannotBeWrittenFails) {
    RecordingObserver observer;
    std::string inMissingFolder = dir_ + "/no/such/BRDJ_1.exe";
    ASSERT_GT(mgr_->StartDownload(server_.Url("/inspack/whole"), &observer, inMissingFolder, 0), 0);
    std::vector<Report> reports = observer.WaitFinal();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].slot, kFailed);
    EXPECT_EQ(reports[0].value, 23);  // CURLE_WRITE_ERROR
}

TEST_F(DownloadTest, RefusedWithoutReports) {
    RecordingObserver observer;
    EXPECT_EQ(mgr_->StartDownload(server_.Url("/inspack/whole"), nullptr, target_, 0), 0);
    EXPECT_EQ(mgr_->StartDownload("", &observer, target_, 0), 0);
    EXPECT_EQ(mgr_->StartDownload(server_.Url("/inspack/whole"), &observer, "", 0), 0);
    EXPECT_TRUE(observer.WaitFinal(std::chrono::seconds(0)).empty());
}

}  // namespace
