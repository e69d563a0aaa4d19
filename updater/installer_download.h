// Downloading the installer through the HTTP library and waiting for its outcome.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "http_request_observer.h"
#include "windows.h"

// The download's outcome as the observer last reported it: 0 running (also at start),
// 1 finished, 2 stopped, 3 failed. Written by the library's threads, read by the main thread;
// nothing else passes through it, so relaxed order suffices.
extern std::atomic<int32_t> DownloadState;

enum DownloadOutcome : int32_t {
    kDownloadRunning = 0,
    kDownloadFinished = 1,
    kDownloadStopped = 2,
    kDownloadFailed = 3,
};

// Turns the library's download reports into DownloadState and prints nothing; the upload
// reports keep their default bodies.
class CUpdateObserver : public IBrHttpRequestObserver {
public:
    void OnDownloadBegin(int id, std::string filePath, unsigned fileSize) override;
    void OnDownloadProgress(int id, int totalSize, int currentSize, int speed) override;
    void OnDownloadStopped(int id) override;
    void OnDownloadFileFinished(int id, std::string filePath, int) override;
    void OnDownloadDataFinished(int id, const char* data, int length) override;
    void OnDownloadFailed(int id, int error) override;
};

// The one observer, for the process's life; handed to nothing but StartDownload.
extern CUpdateObserver g_UpdateObserver;

// How long DownloadInstaller waits for an outcome unless told otherwise: an hour.
constexpr DWORD kDownloadWaitLimitMs = 3600u * 1000u;

// Has the library download url to localPath and waits, reading DownloadState at once and then
// after every pause of 1000 ms: true when it reports the download finished; false when it
// reports it stopped or failed, refuses to start it (StartDownload gives 0), or reports no
// outcome within waitLimitMs, so that a library that never reports cannot keep the updater
// alive for good.
bool DownloadInstaller(const std::string& url, const std::string& localPath,
                       DWORD waitLimitMs = kDownloadWaitLimitMs);
