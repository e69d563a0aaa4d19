// The request manager and the library's one export.
#include <curl/curl.h>

#include <atomic>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>

#include "download.h"
#include "http_request_mgr.h"
#include "part_files.h"
#include "sync_request.h"

namespace httpmgr {
namespace {

class RequestMgr final : public IHttpRequestMgr {
public:
    int SyncRequest(std::string url, int requestKind, std::string body, int& requestId, int& status,
                    int) override {
        requestId = nextId_++;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            requests_[requestId];  // taken until released, with or without a reply
        }
        status = 0;
        if (requestKind != kHttpRequestPost || url.empty()) {
            return 0;
        }
        Reply reply = PostForReply(url, body);
        if (!reply.received) {
            return 0;
        }
        status = static_cast<int>(reply.status);
        std::lock_guard<std::mutex> lock(mutex_);
        auto held = requests_.find(requestId);
        if (held == requests_.end()) {
            return 0;  // released by another thread meanwhile
        }
        held->second = std::move(reply);
        return 1;
    }

    int Reserved1() override { return 0; }
    int Reserved2() override { return 0; }

    int GetResponseData(int requestId, char*& buffer, int& length, int& status) override {
        buffer = nullptr;
        length = 0;
        status = 0;
        std::lock_guard<std::mutex> lock(mutex_);
        auto held = requests_.find(requestId);
        if (held == requests_.end() || !held->second.received) {
            return 0;
        }
        const std::string& body = held->second.body;
        buffer = new char[body.size() + 1];
        std::memcpy(buffer, body.data(), body.size());
        buffer[body.size()] = '\0';
        length = static_cast<int>(body.size());  // at most kMaxReplyBytes
        status = static_cast<int>(held->second.status);
        return 1;
    }

    int ReleaseRequest(int requestId) override {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_.erase(requestId) ? 1 : 0;
    }

    int Reserved5() override { return 0; }

    int StartDownload(std::string url, IBrHttpRequestObserver* observer, std::string filePath,
                      int) override {
        if (!observer || url.empty() || filePath.empty()) {
            return 0;
        }
        int id = nextId_++;
        // Detached: the thread holds its own copies and ends with its last report.
        std::thread(RunDownload, id, std::move(url), observer, std::move(filePath)).detach();
        return id;
    }

private:
    std::atomic<int> nextId_{1};
    std::mutex mutex_;
    std::map<int, Reply> requests_;
};

}  // namespace
}  // namespace httpmgr

extern "C" __attribute__((visibility("default"))) IHttpRequestMgr* AfxGetHttpRequestMgr() {
    // Made once, never destroyed: download threads may still use it while the process ends.
    static IHttpRequestMgr* manager = [] {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        httpmgr::RemovePartFilesAtExit();
        return new httpmgr::RequestMgr;
    }();
    return manager;
}
