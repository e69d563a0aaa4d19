// Test support: an HTTP server on 127.0.0.1 for the tests of the library and its users. Routes
// are set on Server() before Start(). Handlers that must hang (a stalled server) wait in
// Hold(), which returns when the test calls Release() or the server is being destroyed.
#pragma once

#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace httptest {

class TestHttpServer {
public:
    TestHttpServer() = default;
    ~TestHttpServer() { Stop(); }
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    httplib::Server& Server() { return server_; }

    // Binds a free port and serves on a thread of its own; false when it cannot bind.
    bool Start() {
        port_ = server_.bind_to_any_port("127.0.0.1");
        if (port_ <= 0) {
            return false;
        }
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        while (!server_.is_running()) {  // a stop before the loop runs would be lost
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    // Releases held handlers, stops serving and waits for the server's threads. Owners call it
    // before destroying what the handlers use.
    void Stop() {
        Release();
        server_.stop();
        if (thread_.joinable()) {
            thread_.join();
        }
    }

    int Port() const { return port_; }
    // "127.0.0.1:<port>", the form the configuration takes.
    std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }
    std::string Url(const std::string& path) const { return "http://" + Host() + path; }

    // Blocks a handler until Release(), at most for the given time; true when released (a
    // handler that paces its reply with it stops then).
    bool Hold(std::chrono::milliseconds longest = std::chrono::seconds(60)) {
        std::unique_lock<std::mutex> lock(mutex_);
        return released_.wait_for(lock, longest, [this] { return isReleased_; });
    }
    void Release() {
        std::lock_guard<std::mutex> lock(mutex_);
        isReleased_ = true;
        released_.notify_all();
    }

private:
    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
    std::mutex mutex_;
    std::condition_variable released_;
    bool isReleased_ = false;
};

// A port of 127.0.0.1 that nobody listens on (bound once, then closed).
inline int UnusedPort() {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    bind(fd, reinterpret_cast<sockaddr*>(&address), size);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    close(fd);
    return ntohs(address.sin_port);
}

}  // namespace httptest
