#include "stream_server.h"

namespace enginetest {

StreamServer::StreamServer(std::string bytes, Mode mode, size_t piece,
                           std::chrono::milliseconds pause)
    : bytes_(std::move(bytes)), mode_(mode), piece_(piece), pause_(pause) {
    server_.Get(R"(/.*)", [this](const httplib::Request&, httplib::Response& response) {
        std::lock_guard lock(mu_);
        if (mode_ == Mode::Missing) {
            response.status = 404;
            return;
        }
        if (stopped_) {
            response.status = 503;
            return;
        }
        response.set_content_provider(
            bytes_.size(), "application/octet-stream",
            [this](size_t offset, size_t length, httplib::DataSink& sink) {
                return Provide(offset, length, sink);
            });
    });
    // Bound and listening from here: connections wait until the loop accepts them.
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
}

StreamServer::~StreamServer() {
    {
        std::lock_guard lock(mu_);
        closing_ = true;
    }
    stopping_.notify_all();
    server_.stop();
    thread_.join();
}

std::string StreamServer::Address(const std::string& name) const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/" + name;
}

void StreamServer::StopHalfway() {
    {
        std::lock_guard lock(mu_);
        stop_allowed_ = true;
    }
    stopping_.notify_all();
}

bool StreamServer::Provide(size_t offset, size_t length, httplib::DataSink& sink) {
    std::unique_lock lock(mu_);
    if (mode_ == Mode::StopHalfway && offset >= bytes_.size() / 2) {
        stopping_.wait(lock, [this] { return stop_allowed_ || closing_; });
        stopped_ = true;
        return false;  // the connection ends before the promised length
    }
    size_t count = std::min(piece_, length);
    lock.unlock();
    if (!sink.write(bytes_.data() + offset, count)) {
        return false;
    }
    lock.lock();
    return !stopping_.wait_for(lock, pause_, [this] { return closing_; });
}

}  // namespace enginetest
