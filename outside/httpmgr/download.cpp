#include "download.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>

#include "part_files.h"
#include "transfer.h"

namespace httpmgr {
namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds kProgressInterval(250);

int ClampInt(curl_off_t value) {
    return value < 0 ? 0 : value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

bool IsSuccess(long status) {
    return status >= 200 && status <= 299;
}

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

class Download {
public:
    Download(int id, IBrHttpRequestObserver* observer, const std::string& filePath)
        : id_(id),
          observer_(observer),
          filePath_(filePath),
          partPath_(PartFilePath(filePath, id)) {}

    void Run(const std::string& url) {
        if (!OpenPart()) {
            observer_->OnDownloadFailed(id_, CURLE_WRITE_ERROR);
            return;
        }
        AddPartFile(partPath_);
        CURLcode code = Fetch(url);
        int error = Finish(code);
        if (error != 0) {
            if (fd_ >= 0) {
                close(fd_);
            }
            unlink(partPath_.c_str());
        }
        ForgetPartFile(partPath_);
        if (error != 0) {
            observer_->OnDownloadFailed(id_, error);
            return;
        }
        observer_->OnDownloadFileFinished(id_, filePath_, 0);
    }

private:
    bool OpenPart() {
        for (int attempt = 0; attempt < 2; ++attempt) {
            fd_ = open(partPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ >= 0 || errno != EEXIST) {
                break;
            }
            unlink(partPath_.c_str());  // left by an earlier process that had this id
        }
        return fd_ >= 0;
    }

    CURLcode Fetch(const std::string& url) {
        Transfer transfer(url);
        transfer_ = &transfer;
        CURL* curl = transfer.Handle();
        if (!curl) {
            transfer_ = nullptr;
            return CURLE_FAILED_INIT;
        }
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Download::OnBody);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, this);
        transfer.SetProgressHook(&Download::OnProgress, this);
        CURLcode code = transfer.Perform();
        status_ = transfer.Status();
        transferError_ = transfer.Error(code);
        transfer_ = nullptr;
        return code;
    }

    // 0 when the file stands complete under its name, else the error to report.
    int Finish(CURLcode code) {
        if (badStatus_ != 0) {
            return static_cast<int>(badStatus_);
        }
        if (code != CURLE_OK) {
            return writeFailed_ ? CURLE_WRITE_ERROR : transferError_;
        }
        if (!IsSuccess(status_)) {
            return static_cast<int>(status_);  // a reply without a body
        }
        if (!began_) {
            Begin(0);
        }
        if (fsync(fd_) != 0 || close(fd_) != 0) {
            fd_ = -1;
            return CURLE_WRITE_ERROR;
        }
        fd_ = -1;
        if (std::rename(partPath_.c_str(), filePath_.c_str()) != 0) {
            return CURLE_WRITE_ERROR;
        }
        return 0;
    }

    void Begin(curl_off_t size) {
        began_ = true;
        started_ = Clock::now();
        observer_->OnDownloadBegin(id_, filePath_, size > 0 ? static_cast<unsigned>(size) : 0u);
    }

    static size_t OnBody(char* data, size_t size, size_t count, void* self) {
        auto* download = static_cast<Download*>(self);
        CURL* curl = download->transfer_->Handle();
        if (!download->began_) {
            long status = 0;
            curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
            if (!IsSuccess(status)) {
                download->badStatus_ = status;
                return 0;  // an error page is not written into the file
            }
            curl_off_t length = -1;
            curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
            download->Begin(length);
        }
        if (!WriteAll(download->fd_, data, size * count)) {
            download->writeFailed_ = true;
            return 0;
        }
        return size * count;
    }

    static void OnProgress(void* self, curl_off_t total, curl_off_t received) {
        auto* download = static_cast<Download*>(self);
        Clock::time_point now = Clock::now();
        if (!download->began_ || now - download->lastReport_ < kProgressInterval) {
            return;
        }
        download->lastReport_ = now;
        double seconds = std::chrono::duration<double>(now - download->started_).count();
        curl_off_t speed = seconds > 0 ? static_cast<curl_off_t>(received / seconds) : 0;
        download->observer_->OnDownloadProgress(download->id_, ClampInt(total), ClampInt(received),
                                                ClampInt(speed));
    }

    int id_;
    IBrHttpRequestObserver* observer_;
    std::string filePath_;
    std::string partPath_;
    int fd_ = -1;
    Transfer* transfer_ = nullptr;
    bool began_ = false;
    bool writeFailed_ = false;
    long badStatus_ = 0;
    long status_ = 0;
    int transferError_ = 0;
    Clock::time_point started_;
    Clock::time_point lastReport_;
};

}  // namespace

std::string PartFilePath(const std::string& filePath, int id) {
    return filePath + "." + std::to_string(getpid()) + "-" + std::to_string(id) + ".part";
}

void RunDownload(int id, const std::string& url, IBrHttpRequestObserver* observer,
                 const std::string& filePath) {
    Download(id, observer, filePath).Run(url);
}

}  // namespace httpmgr
