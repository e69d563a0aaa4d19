#include "download_server.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace servicetest {

// The /hold answers wait here until the server closes.
struct DownloadServer::Hold {
    std::mutex mutex;
    std::condition_variable wake;
    bool closing = false;
};

std::string FileBody() {
    std::string body(kFileSize, '\0');
    for (size_t i = 0; i < body.size(); ++i) {
        body[i] = static_cast<char>(i % 251);
    }
    return body;
}

DownloadServer::DownloadServer() : hold_(std::make_unique<Hold>()) {
    server_.set_keep_alive_max_count(1);
    server_.Get("/file", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(FileBody(), "application/octet-stream");
    });
    server_.Get("/hold", [this](const httplib::Request&, httplib::Response& response) {
        response.set_content_provider(1 << 20, "application/octet-stream",
                                      [this](size_t offset, size_t, httplib::DataSink& sink) {
                                          if (offset == 0) {
                                              std::string piece(1024, 'h');
                                              return sink.write(piece.data(), piece.size());
                                          }
                                          std::unique_lock<std::mutex> lock(hold_->mutex);
                                          hold_->wake.wait_for(lock, std::chrono::milliseconds(50),
                                                               [this] { return hold_->closing; });
                                          return !hold_->closing;
                                      });
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    // One answered request: the server is up before a test begins.
    if (port_ > 0 && !httplib::Client("127.0.0.1", port_).Get("/missing")) {
        port_ = -1;
    }
}

DownloadServer::~DownloadServer() {
    {
        std::lock_guard<std::mutex> lock(hold_->mutex);
        hold_->closing = true;
    }
    hold_->wake.notify_all();
    server_.stop();
    thread_.join();
}

std::string DownloadServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

}  // namespace servicetest
