// One download into a file, run to its end on the calling thread, with its reports.
#pragma once

#include <string>

#include "http_request_observer.h"

namespace httpmgr {

// The file a download writes into before it is complete: beside the target, unique to this
// process and download.
std::string PartFilePath(const std::string& filePath, int id);

// Downloads url into filePath's part file and renames it over filePath when the whole body came
// with a 2xx status. Reports OnDownloadBegin when the body starts (size 0 when unknown),
// OnDownloadProgress at most every 250 ms, then exactly one of OnDownloadFileFinished and
// OnDownloadFailed; a failure removes the part file and leaves filePath as it was. The error
// number of a failure is the HTTP status for a reply outside 200-299, else libcurl's number
// (CURLE_OPERATION_TIMEDOUT for the connect and the stall limit, CURLE_WRITE_ERROR when the
// file cannot be written or renamed into place).
void RunDownload(int id, const std::string& url, IBrHttpRequestObserver* observer,
                 const std::string& filePath);

}  // namespace httpmgr
