#include "version_query.h"

#include "http_request_mgr.h"
#include "install_config.h"
#include "version_reply.h"

std::string g_strServerVersion;

const char* const kVersionRequestBody = "<brindo_fans><cmd>getver</cmd></brindo_fans>";

bool QueryServerVersion() {
    return QueryServerVersionAt(VersionServiceUrl());
}

bool QueryServerVersionAt(const std::string& url) {
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
            g_strServerVersion = version;
        }
    } catch (...) {
        g_strServerVersion.clear();
    }
    delete[] buffer;
    AfxGetHttpRequestMgr()->ReleaseRequest(requestId);
    return true;
}
