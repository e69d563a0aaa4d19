// The observer's default bodies print each report; the updater's observer turns the download
// reports into DownloadState and prints nothing.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "installer_download.h"

namespace {

// Captures what is written to std::cout while it lives.
class CoutCapture {
public:
    CoutCapture() : old_(std::cout.rdbuf(text_.rdbuf())) {}
    ~CoutCapture() { std::cout.rdbuf(old_); }
    std::string Text() const { return text_.str(); }

private:
    std::ostringstream text_;
    std::streambuf* old_;
};

class DefaultObserver : public IBrHttpRequestObserver {};

TEST(ObserverTest, DefaultBodiesPrintOneLineEach) {
    DefaultObserver observer;
    char data[] = {'a', 'b', 'c', 'd', 'e', 'f', 'g'};
    const struct {
        const char* name;
        std::function<void()> call;
        std::string output;
    } cases[] = {
        {"begin", [&] { observer.OnDownloadBegin(7, "/d/BRDJ_1.exe", 4096u); },
         "download task begin, id = 7 filepath = /d/BRDJ_1.exe filesize = 4096\n"},
        {"progress", [&] { observer.OnDownloadProgress(7, 100, 40, 20); },
         "download process totalsize=100 cursize=40 speed=20\n"},
        {"stopped", [&] { observer.OnDownloadStopped(7); }, "download task is stopped, id = 7\n"},
        {"file finished", [&] { observer.OnDownloadFileFinished(7, "/d/x.exe", 9); },
         "file /d/x.exe download finish\n"},
        {"data finished", [&] { observer.OnDownloadDataFinished(7, data, 3); },
         "download finished, data length = 3\nabc\n"},
        {"data finished without data", [&] { observer.OnDownloadDataFinished(7, nullptr, 3); },
         "download finished, data length = 3\n"},
        {"failed", [&] { observer.OnDownloadFailed(7, -12); }, "download failed, err = -12\n"},
        {"upload begin", [&] { observer.OnUploadBegin(7); }, "upload task begin\n"},
        {"upload progress", [&] { observer.OnUploadProgress(7, 10, 5, 1); },
         "upload task process nTotalsize=10 cursize=5 speed=1\n"},
        {"upload stopped", [&] { observer.OnUploadStopped(7); }, "upload task is stopped\n"},
        {"upload finished", [&] { observer.OnUploadFinished(7, data, 5); },
         "upload task finished\nabcde\n"},
        {"upload finished without buffer", [&] { observer.OnUploadFinished(7, nullptr, 5); },
         "upload task finished\n"},
        {"upload failed", [&] { observer.OnUploadFailed(7, 404); },
         "upload task failed, err=404\n"},
    };
    for (const auto& c : cases) {
        CoutCapture capture;
        c.call();
        EXPECT_EQ(capture.Text(), c.output) << c.name;
    }
    EXPECT_EQ(std::string(data, sizeof data), "abcdefg");  // nothing written into the buffer
}

TEST(ObserverTest, UpdateObserverSetsTheStateSilently) {
    CUpdateObserver& observer = g_UpdateObserver;
    const struct {
        const char* name;
        std::function<void()> call;
        int32_t before, after;
    } cases[] = {
        {"begin", [&] { observer.OnDownloadBegin(1, "/x", 1); }, 3, 0},
        {"progress", [&] { observer.OnDownloadProgress(1, 9, 3, 1); }, 0, 0},
        {"progress after an outcome", [&] { observer.OnDownloadProgress(1, 9, 3, 1); }, 2, 2},
        {"stopped", [&] { observer.OnDownloadStopped(1); }, 0, 2},
        {"file finished", [&] { observer.OnDownloadFileFinished(1, "/x", 0); }, 0, 1},
        {"data finished", [&] { observer.OnDownloadDataFinished(1, "ab", 2); }, 0, 1},
        {"failed", [&] { observer.OnDownloadFailed(1, 28); }, 0, 3},
    };
    for (const auto& c : cases) {
        DownloadState = c.before;
        CoutCapture capture;
        c.call();
        EXPECT_EQ(DownloadState.load(), c.after) << c.name;
        EXPECT_EQ(capture.Text(), "") << c.name;
    }
    CoutCapture capture;  // the upload reports keep their default bodies
    observer.OnUploadFailed(1, 5);
    EXPECT_EQ(capture.Text(), "upload task failed, err=5\n");
}

}  // namespace
