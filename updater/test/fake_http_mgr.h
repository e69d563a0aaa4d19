// Test support: a request manager that stands in for the HTTP library in the updater's own
// tests. The test programs link this instead of the library, so AfxGetHttpRequestMgr gives it.
// It answers as the test sets, records what it was asked, and reports downloads from a thread.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "http_request_mgr.h"

class FakeHttpMgr : public IHttpRequestMgr {
public:
    static FakeHttpMgr& Instance();

    // What SyncRequest and GetResponseData answer.
    int syncResult = 1;
    int responseResult = 1;
    bool handOutBuffer = true;  // a buffer is handed out even when responseResult is 0
    std::string reply;          // copied into a new[] buffer, NUL-terminated
    static constexpr int kReplySize = -1000;
    int replyLength = kReplySize;  // reported length; kReplySize: the reply's size
    // Called on a thread of the fake's for a download StartDownload accepts.
    std::function<void(IBrHttpRequestObserver*, int id)> download;
    int startResult = 7;          // StartDownload's result; 0 refuses (download not run)
    bool inlineDownload = false;  // run download within StartDownload, on the caller's thread

    // What was asked.
    std::vector<std::string> urls;
    std::vector<std::string> bodies;
    std::vector<int> released;
    std::atomic<int> syncCalls{0};
    std::atomic<int> responseCalls{0};
    std::atomic<int> downloads{0};
    std::string downloadUrl, downloadPath;

    void Reset();
    // Waits for the download threads.
    void JoinDownloads();

    int SyncRequest(std::string url, int kind, std::string body, int& id, int& status,
                    int) override;
    int Reserved1() override { return 0; }
    int Reserved2() override { return 0; }
    int GetResponseData(int id, char*& buffer, int& length, int& status) override;
    int ReleaseRequest(int id) override;
    int Reserved5() override { return 0; }
    int StartDownload(std::string url, IBrHttpRequestObserver* observer, std::string path,
                      int) override;

private:
    std::vector<std::thread> threads_;
};
