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

// Turns the library's download reports into DownloadState, keeps the byte count of the last
// progress report, and prints nothing; the upload reports keep their default bodies.
class CUpdateObserver : public IBrHttpRequestObserver {
public:
    // The bytes so far of the last progress report (0 at each begin): the waiting thread sees the
    // download move through it.
    int ReceivedBytes() const { return received_.load(std::memory_order_relaxed); }

    void OnDownloadBegin(int id, std::string filePath, unsigned fileSize) override;
    void OnDownloadProgress(int id, int totalSize, int currentSize, int speed) override;
    void OnDownloadStopped(int id) override;
    void OnDownloadFileFinished(int id, std::string filePath, int) override;
    void OnDownloadDataFinished(int id, const char* data, int length) override;
    void OnDownloadFailed(int id, int error) override;

private:
    std::atomic<int> received_{0};
};

// The one observer, for the process's life; handed to nothing but StartDownload.
extern CUpdateObserver g_UpdateObserver;

// How long DownloadInstaller waits for an outcome unless told otherwise: an hour.
constexpr DWORD kDownloadWaitLimitMs = 3600u * 1000u;

// Has the library download url to localPath and waits, reading DownloadState at once and then
// after every pause of 1000 ms: true when it reports the download finished; false when it
// reports it stopped or failed, refuses to start it (StartDownload gives 0), or reports neither
// an outcome nor a moving byte count for waitLimitMs, so that a library that never reports
// cannot keep the updater alive for good. The limit counts from the last progress report whose
// byte count changed: a slow but live download is waited for however long it takes (the
// library's stall limit ends a dead one).
bool DownloadInstaller(const std::string& url, const std::string& localPath,
                       DWORD waitLimitMs = kDownloadWaitLimitMs);
