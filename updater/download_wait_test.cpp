// DownloadInstaller's wait, against a fake manager that reports from its own thread as each case
// says: which outcomes end it, how soon, and that a library that never reports cannot keep it
// waiting past its limit.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "fake_http_mgr.h"
#include "installer_download.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Script = std::function<void(IBrHttpRequestObserver*, int)>;

class DownloadWaitTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake_.Reset();
        DownloadState = kDownloadRunning;
    }
    void TearDown() override { fake_.Reset(); }

    FakeHttpMgr& fake_ = FakeHttpMgr::Instance();
};

// Reports begin, waits, then calls the final report.
Script After(std::chrono::milliseconds delay,
             std::function<void(IBrHttpRequestObserver*, int)> end) {
    return [delay, end](IBrHttpRequestObserver* observer, int id) {
        observer->OnDownloadBegin(id, "/d/BRDJ_2.exe", 10);
        std::this_thread::sleep_for(delay);
        end(observer, id);
    };
}

TEST_F(DownloadWaitTest, OutcomesEndTheWait) {
    const struct {
        const char* name;
        Script script;
        bool result;
    } cases[] = {
        {"file finished",
         After(200ms, [](auto* o, int id) { o->OnDownloadFileFinished(id, "/d", 0); }), true},
        {"data finished",
         After(200ms, [](auto* o, int id) { o->OnDownloadDataFinished(id, "ab", 2); }), true},
        {"failed", After(200ms, [](auto* o, int id) { o->OnDownloadFailed(id, 404); }), false},
        {"stopped", After(200ms, [](auto* o, int id) { o->OnDownloadStopped(id); }), false},
    };
    for (const auto& c : cases) {
        SetUp();
        fake_.download = c.script;
        auto start = Clock::now();
        EXPECT_EQ(DownloadInstaller("http://h/inspack/BRDJ_2.exe", "/d/BRDJ_2.exe", 60000),
                  c.result)
            << c.name;
        auto took = Clock::now() - start;
        EXPECT_GE(took, 200ms) << c.name;
        EXPECT_LT(took, 1600ms) << c.name;  // noticed at the next reading, a second at most
        EXPECT_EQ(fake_.downloadUrl, "http://h/inspack/BRDJ_2.exe");
        EXPECT_EQ(fake_.downloadPath, "/d/BRDJ_2.exe");
        fake_.JoinDownloads();
    }
}

TEST_F(DownloadWaitTest, AnOutcomeWithinTheStartIsSeenAtOnce) {
    fake_.inlineDownload = true;
    fake_.download = [](IBrHttpRequestObserver* o, int id) {
        o->OnDownloadFileFinished(id, "/d", 0);
    };
    auto start = Clock::now();
    EXPECT_TRUE(DownloadInstaller("http://h/x", "/d/x", 60000));
    EXPECT_LT(Clock::now() - start, 500ms);
}

TEST_F(DownloadWaitTest, ProgressKeepsTheWaitGoing) {
    fake_.download = [](IBrHttpRequestObserver* o, int id) {
        o->OnDownloadBegin(id, "/d/x", 100);
        for (int i = 1; i <= 25; ++i) {
            std::this_thread::sleep_for(100ms);
            o->OnDownloadProgress(id, 100, i * 4, 40);
        }
        o->OnDownloadFileFinished(id, "/d/x", 0);
    };
    auto start = Clock::now();
    EXPECT_TRUE(DownloadInstaller("http://h/x", "/d/x", 60000));
    EXPECT_GE(Clock::now() - start, 2500ms);
}

// The limit counts from the last progress report that moved: reports of new bytes for longer
// than the limit keep the wait going; reports that repeat the same count do not.
TEST_F(DownloadWaitTest, TheLimitCountsFromTheLastMovingProgress) {
    const struct {
        const char* name;
        bool moving;
        bool result;
    } cases[] = {
        {"new bytes in every report", true, true},
        {"the same bytes in every report", false, false},
    };
    for (const auto& c : cases) {
        SetUp();
        bool moving = c.moving;
        fake_.download = [moving](IBrHttpRequestObserver* o, int id) {
            o->OnDownloadBegin(id, "/d/x", 1000);
            for (int i = 1; i <= 40; ++i) {
                std::this_thread::sleep_for(100ms);
                o->OnDownloadProgress(id, 1000, moving ? i * 20 : 20, 200);
            }
            o->OnDownloadFileFinished(id, "/d/x", 0);
        };
        auto start = Clock::now();
        EXPECT_EQ(DownloadInstaller("http://h/x", "/d/x", 1500), c.result) << c.name;
        auto took = Clock::now() - start;
        if (c.result) {
            EXPECT_GE(took, 3500ms) << c.name;  // over twice the limit
        } else {
            EXPECT_LT(took, 3500ms) << c.name;
        }
        fake_.JoinDownloads();
    }
}

TEST_F(DownloadWaitTest, ALibraryThatNeverReportsMeetsTheLimit) {
    fake_.download = [](IBrHttpRequestObserver* o, int id) { o->OnDownloadBegin(id, "/d/x", 100); };
    auto start = Clock::now();
    EXPECT_FALSE(DownloadInstaller("http://h/x", "/d/x", 1500));
    auto took = Clock::now() - start;
    EXPECT_GE(took, 1400ms);
    EXPECT_LT(took, 3000ms);
}

TEST_F(DownloadWaitTest, ARefusedStartOrAnUnknownStateEndsAtOnce) {
    fake_.startResult = 0;
    auto start = Clock::now();
    EXPECT_FALSE(DownloadInstaller("http://h/x", "/d/x", 60000));
    EXPECT_EQ(fake_.downloads, 1);
    DownloadState = 9;  // a value no report gives
    fake_.startResult = 7;
    EXPECT_FALSE(DownloadInstaller("http://h/x", "/d/x", 60000));
    EXPECT_LT(Clock::now() - start, 500ms);
}

}  // namespace
