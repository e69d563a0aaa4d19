#include "installer_download.h"

#include "http_request_mgr.h"

std::atomic<int32_t> DownloadState{kDownloadRunning};

CUpdateObserver g_UpdateObserver;

void CUpdateObserver::OnDownloadBegin(int, std::string, unsigned) {
    received_.store(0, std::memory_order_relaxed);
    DownloadState.store(kDownloadRunning, std::memory_order_relaxed);
}

void CUpdateObserver::OnDownloadProgress(int, int, int currentSize, int) {
    received_.store(currentSize, std::memory_order_relaxed);
}

void CUpdateObserver::OnDownloadStopped(int) {
    DownloadState.store(kDownloadStopped, std::memory_order_relaxed);
}

void CUpdateObserver::OnDownloadFileFinished(int, std::string, int) {
    DownloadState.store(kDownloadFinished, std::memory_order_relaxed);
}

void CUpdateObserver::OnDownloadDataFinished(int, const char*, int) {
    DownloadState.store(kDownloadFinished, std::memory_order_relaxed);
}

void CUpdateObserver::OnDownloadFailed(int, int) {
    DownloadState.store(kDownloadFailed, std::memory_order_relaxed);
}

bool DownloadInstaller(const std::string& url, const std::string& localPath, DWORD waitLimitMs) {
    if (AfxGetHttpRequestMgr()->StartDownload(url, &g_UpdateObserver, localPath, 0) == 0) {
        return false;  // refused: nothing will ever report
    }
    DWORD lastMove = GetTickCount();
    int received = g_UpdateObserver.ReceivedBytes();
    for (;;) {
        switch (DownloadState.load(std::memory_order_relaxed)) {
            case kDownloadRunning:
                break;
            case kDownloadFinished:
                return true;
            default:  // stopped, failed or a value no report gives
                return false;
        }
        if (g_UpdateObserver.ReceivedBytes() != received) {
            received = g_UpdateObserver.ReceivedBytes();
            lastMove = GetTickCount();
        }
        DWORD waited = GetTickCount() - lastMove;
        if (waited >= waitLimitMs) {
            return false;
        }
        DWORD left = waitLimitMs - waited;
        Sleep(left < 1000 ? left : 1000);
    }
}
