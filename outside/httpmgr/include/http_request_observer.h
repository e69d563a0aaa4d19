// The HTTP library's callback contract: the eleven operations in their fixed order. Each default
// body writes one line (two for slots 4 and 9) to standard output; users derive from it and
// override what they need. Strings passed by value belong to the called operation.
#pragma once

#include <iostream>
#include <string>

class IBrHttpRequestObserver {
public:
    // 0
    virtual void OnDownloadBegin(int id, std::string filePath, unsigned fileSize) {
        std::cout << "download task begin, id = " << id << " filepath = " << filePath
                  << " filesize = " << fileSize << std::endl;
    }
    // 1
    virtual void OnDownloadProgress(int, int totalSize, int currentSize, int speed) {
        std::cout << "download process totalsize=" << totalSize << " cursize=" << currentSize
                  << " speed=" << speed << std::endl;
    }
    // 2
    virtual void OnDownloadStopped(int id) {
        std::cout << "download task is stopped, id = " << id << std::endl;
    }
    // 3
    virtual void OnDownloadFileFinished(int, std::string filePath, int) {
        std::cout << "file " << filePath << " download finish" << std::endl;
    }
    // 4
    virtual void OnDownloadDataFinished(int, const char* data, int length) {
        std::cout << "download finished, data length = " << length << std::endl;
        if (data) {
            PrintBytes(data, length);
        }
    }
    // 5
    virtual void OnDownloadFailed(int, int error) {
        std::cout << "download failed, err = " << error << std::endl;
    }
    // 6
    virtual void OnUploadBegin(int) { std::cout << "upload task begin" << std::endl; }
    // 7
    virtual void OnUploadProgress(int, int totalSize, int currentSize, int speed) {
        std::cout << "upload task process nTotalsize=" << totalSize << " cursize=" << currentSize
                  << " speed=" << speed << std::endl;
    }
    // 8
    virtual void OnUploadStopped(int) { std::cout << "upload task is stopped" << std::endl; }
    // 9
    virtual void OnUploadFinished(int, char* buffer, int length) {
        std::cout << "upload task finished" << std::endl;
        if (buffer) {
            PrintBytes(buffer, length);
        }
    }
    // 10
    virtual void OnUploadFailed(int, int error) {
        std::cout << "upload task failed, err=" << error << std::endl;
    }

protected:
    ~IBrHttpRequestObserver() = default;  // not deleted through the interface

private:
    static void PrintBytes(const char* bytes, int length) {
        if (length > 0) {
            std::cout.write(bytes, length);
        }
        std::cout << std::endl;
    }
};
