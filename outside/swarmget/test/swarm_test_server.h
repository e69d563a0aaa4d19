// Test support: an HTTP server on 127.0.0.1, on a free port, with the kinds of answer that a
// download meets. Header-only, for the engine's tests and BrMV's.
//   /file/N   N bytes of Body(N), in 8 KiB pieces 10 ms apart, with its length
//   /empty    an empty body
//   /drip     1 MiB announced, 1 KiB every 20 ms: runs until the server closes
//   /cut/N    N bytes announced, half of them sent, then the connection closed
//   /stall    64 KiB announced, 1 KiB sent, then silence until the server closes
//   /to/N     a redirect to /file/N
//   /moved    a redirect without a target
//   anything else: 404
#pragma once

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace swarmgettest {

// Deterministic bytes that differ at every offset modulo 251, so a shifted, dropped or
// repeated piece shows.
inline std::string Body(size_t size) {
    std::string body(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        body[i] = static_cast<char>((i % 251) ^ (i >> 11));
    }
    return body;
}

class TestHttpServer {
public:
    TestHttpServer() {
        server_.set_keep_alive_max_count(1);
        server_.Get(R"(/file/(\d+))",
                    [this](const httplib::Request& request, httplib::Response& response) {
                        Serve(response, std::strtoul(request.matches[1].str().c_str(), nullptr, 10),
                              8192, std::chrono::milliseconds(10), SIZE_MAX);
                    });
        server_.Get("/empty", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("", "application/octet-stream");
        });
        server_.Get("/drip", [this](const httplib::Request&, httplib::Response& response) {
            Serve(response, 1 << 20, 1024, std::chrono::milliseconds(20), SIZE_MAX);
        });
        server_.Get(R"(/cut/(\d+))",
                    [this](const httplib::Request& request, httplib::Response& response) {
                        size_t size = std::strtoul(request.matches[1].str().c_str(), nullptr, 10);
                        Serve(response, size, 4096, std::chrono::milliseconds(0), size / 2);
                    });
        server_.Get("/stall", [this](const httplib::Request&, httplib::Response& response) {
            Serve(response, 65536, 1024, std::chrono::hours(1), 1024);
        });
        server_.Get(R"(/to/(\d+))",
                    [](const httplib::Request& request, httplib::Response& response) {
                        response.set_redirect("/file/" + request.matches[1].str());
                    });
        server_.Get("/moved", [](const httplib::Request&, httplib::Response& response) {
            response.status = 302;
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        // One answered request: the server and all its threads are up before a test begins.
        if (port_ > 0 && !httplib::Client("127.0.0.1", port_).Get("/empty")) {
            port_ = -1;
        }
    }

    ~TestHttpServer() {
        {
            std::lock_guard<std::mutex> hold(lock_);
            closing_ = true;
        }
        wake_.notify_all();
        server_.stop();
        thread_.join();
    }

    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    bool Listening() const { return port_ > 0; }
    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }

private:
    // Announces `size` bytes and sends them in pieces `pause` apart; after `cutAt` bytes it
    // closes the connection (at once when the pause is short, after the pause otherwise).
    void Serve(httplib::Response& response, size_t size, size_t piece,
               std::chrono::milliseconds pause, size_t cutAt) {
        auto body = std::make_shared<std::string>(Body(size));
        response.set_content_provider(
            size, "application/octet-stream",
            [this, body, piece, pause, cutAt](size_t offset, size_t, httplib::DataSink& sink) {
                if (offset >= cutAt) {
                    Pause(pause);
                    return false;
                }
                if (offset > 0 && !Pause(pause)) {
                    return false;
                }
                size_t n = std::min({piece, body->size() - offset, cutAt - offset});
                return sink.write(body->data() + offset, n);
            });
    }

    // Waits `pause`; false when the server closes meanwhile.
    bool Pause(std::chrono::milliseconds pause) {
        std::unique_lock<std::mutex> hold(lock_);
        return !wake_.wait_for(hold, pause, [this] { return closing_; });
    }

    httplib::Server server_;
    int port_ = -1;
    std::thread thread_;
    std::mutex lock_;
    std::condition_variable wake_;
    bool closing_ = false;
};

}  // namespace swarmgettest
