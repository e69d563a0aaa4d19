#include "version_query.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "http_request_mgr.h"
#include "install_config.h"
#include "version_reply.h"

std::string g_strServerVersion;

const char* const kVersionRequestBody = "<brindo_fans><cmd>getver</cmd></brindo_fans>";

namespace {

// One query's outcome, shared by the waiting thread and the thread that asks; the one that
// leaves last frees it, so a query given up on can still finish safely.
struct QueryOutcome {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    bool replied = false;
    std::string version;
};

bool QueryVersionInto(const std::string& url, std::string& versionOut) {
    int requestId = 0;
    int status = 0;
    if (!AfxGetHttpRequestMgr()->SyncRequest(url, kHttpRequestPost, kVersionRequestBody, requestId,
                                             status, 0)) {
        AfxGetHttpRequestMgr()->ReleaseRequest(requestId);
        return false;
    }
    char* buffer = nullptr;
    int length = 0;
    if (!AfxGetHttpRequestMgr()->GetResponseData(requestId, buffer, length, status) || !buffer ||
        length <= 0) {
        delete[] buffer;
        AfxGetHttpRequestMgr()->ReleaseRequest(requestId);
        return false;
    }
    try {
        std::string version;
        if (FindPackVersion(buffer, version)) {
            versionOut = version;
        }
    } catch (...) {
        versionOut.clear();
    }
    delete[] buffer;
    AfxGetHttpRequestMgr()->ReleaseRequest(requestId);
    return true;
}

}  // namespace

bool QueryServerVersion() {
    return QueryServerVersionWithin(VersionServiceUrl(), VersionQueryLimitMs());
}

bool QueryServerVersionAt(const std::string& url) {
    return QueryVersionInto(url, g_strServerVersion);
}

bool QueryServerVersionWithin(const std::string& url, DWORD limitMs) {
    auto outcome = std::make_shared<QueryOutcome>();
    std::string start = g_strServerVersion;
    std::thread asker;
    try {
        asker = std::thread([outcome, url, start] {
            std::string version = start;
            bool replied = QueryVersionInto(url, version);
            std::lock_guard<std::mutex> lock(outcome->mutex);
            outcome->finished = true;
            outcome->replied = replied;
            outcome->version = version;
            outcome->done.notify_all();
        });
    } catch (const std::system_error&) {
        return false;  // no thread to ask from: the query cannot be made
    }
    bool finished = false;
    {
        std::unique_lock<std::mutex> lock(outcome->mutex);
        finished = outcome->done.wait_for(lock, std::chrono::milliseconds(limitMs),
                                          [&] { return outcome->finished; });
    }
    if (!finished) {
        asker.detach();  // given up: the asking thread ends with the process
        return false;
    }
    // Joined, so that the thread's own end (the libraries' per-thread state) is over before the
    // process ends.
    asker.join();
    g_strServerVersion = outcome->version;
    return outcome->replied;
}
