#include "fake_http_mgr.h"

#include <cstring>

FakeHttpMgr& FakeHttpMgr::Instance() {
    static FakeHttpMgr* fake = new FakeHttpMgr;
    return *fake;
}

void FakeHttpMgr::Reset() {
    JoinDownloads();
    syncResult = 1;
    responseResult = 1;
    handOutBuffer = true;
    reply.clear();
    replyLength = kReplySize;
    download = nullptr;
    startResult = 7;
    inlineDownload = false;
    urls.clear();
    bodies.clear();
    released.clear();
    syncCalls = 0;
    responseCalls = 0;
    downloads = 0;
    downloadUrl.clear();
    downloadPath.clear();
}

void FakeHttpMgr::JoinDownloads() {
    for (std::thread& thread : threads_) {
        thread.join();
    }
    threads_.clear();
}

int FakeHttpMgr::SyncRequest(std::string url, int kind, std::string body, int& id, int& status,
                             int) {
    ++syncCalls;
    urls.push_back(url);
    bodies.push_back(kind == kHttpRequestPost ? body : "kind " + std::to_string(kind));
    id = 40 + syncCalls;
    status = syncResult ? 200 : 0;
    return syncResult;
}

int FakeHttpMgr::GetResponseData(int, char*& buffer, int& length, int& status) {
    ++responseCalls;
    buffer = nullptr;
    if (handOutBuffer) {
        buffer = new char[reply.size() + 1];
        std::memcpy(buffer, reply.c_str(), reply.size() + 1);
    }
    length = replyLength != kReplySize ? replyLength : static_cast<int>(reply.size());
    status = 200;
    return responseResult;
}

int FakeHttpMgr::ReleaseRequest(int id) {
    released.push_back(id);
    return 1;
}

int FakeHttpMgr::StartDownload(std::string url, IBrHttpRequestObserver* observer, std::string path,
                               int) {
    ++downloads;
    downloadUrl = url;
    downloadPath = path;
    if (startResult != 0 && download) {
        if (inlineDownload) {
            download(observer, startResult);
        } else {
            threads_.emplace_back(download, observer, startResult);
        }
    }
    return startResult;
}

extern "C" IHttpRequestMgr* AfxGetHttpRequestMgr() {
    return &FakeHttpMgr::Instance();
}
