// Test support: an HTTP server on 127.0.0.1, on a free port, for the download engine the
// service drives:
//   /file    kFileSize bytes of FileBody(), with their length
//   /hold    1 MiB announced, 1 KiB sent, then nothing until the server closes
//   anything else: 404
#pragma once

#include <httplib.h>

#include <memory>
#include <string>
#include <thread>

namespace servicetest {

constexpr size_t kFileSize = 100 * 1024;
// Bytes that differ at every offset modulo 251.
std::string FileBody();

class DownloadServer {
public:
    DownloadServer();
    ~DownloadServer();
    DownloadServer(const DownloadServer&) = delete;
    DownloadServer& operator=(const DownloadServer&) = delete;

    bool Listening() const { return port_ > 0; }
    std::string Url(const std::string& path) const;

private:
    struct Hold;
    std::unique_ptr<Hold> hold_;
    httplib::Server server_;
    int port_ = -1;
    std::thread thread_;
};

}  // namespace servicetest
