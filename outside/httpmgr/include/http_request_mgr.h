// The HTTP library's request manager, as its users call it. The slot order of IHttpRequestMgr is
// the library's binary contract and is fixed; strings pass by value and the callee owns its
// copies. The library is loaded as "BrHttpRequestMgr.dll" (libBrHttpRequestMgr.so) and exports
// one name, AfxGetHttpRequestMgr.
#pragma once

#include <string>

#include "http_request_observer.h"

// The request kind of SyncRequest: the body is sent as an HTTP POST.
constexpr int kHttpRequestPost = 1;

class IHttpRequestMgr {
public:
    // 0: sends the request and waits for its whole reply. Nonzero when a reply came back (any
    // HTTP status: an error page is a reply too); the reply is then held under the id. 0 when the
    // request could not be made or the transfer failed (refused, connect or stall limit, cut
    // short, reply larger than the library holds). The id is filled in either way and stays
    // taken until ReleaseRequest. status receives the HTTP status, 0 without a reply.
    virtual int SyncRequest(std::string url, int requestKind, std::string body, int& requestId,
                            int& status, int reserved) = 0;
    // 1, 2: positions of the table that this library does not offer; they return 0.
    virtual int Reserved1() = 0;
    virtual int Reserved2() = 0;
    // 3: a copy of the held reply, NUL-terminated, allocated with new[]; the caller frees it with
    // delete[]. length excludes the NUL. 0 (buffer NULL, length 0) for an unknown id or a request
    // without a reply.
    virtual int GetResponseData(int requestId, char*& buffer, int& length, int& status) = 0;
    // 4: forgets the request and its reply. 0 for an unknown id.
    virtual int ReleaseRequest(int requestId) = 0;
    // 5: a position of the table that this library does not offer; it returns 0.
    virtual int Reserved5() = 0;
    // 6: downloads url to filePath on a thread of its own and reports to the observer from that
    // thread. The file appears at filePath only when complete (written beside it first, then
    // renamed over it); a failed download leaves filePath as it was. Every accepted download
    // ends with exactly one OnDownloadFileFinished or OnDownloadFailed. Returns the download's
    // id (above 0), or 0 without any report when refused (no observer, an empty url or path).
    virtual int StartDownload(std::string url, IBrHttpRequestObserver* observer,
                              std::string filePath, int reserved) = 0;

protected:
    ~IHttpRequestMgr() = default;  // the manager lives as long as the process
};

extern "C" {
// The process's one manager; never released.
IHttpRequestMgr* AfxGetHttpRequestMgr();
}
