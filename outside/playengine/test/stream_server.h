// Test support: an http server on 127.0.0.1 that serves one item for the engine's stream tests,
// in pieces with a pause after each (a slow network), or answers 404, or stops halfway through
// and then answers every request with 503. The halfway stop waits at the half until the test
// calls StopHalfway(), so a slow player still opens and starts before the stream breaks.
#pragma once

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace enginetest {

enum class Mode { Serve, Missing, StopHalfway };

class StreamServer {
public:
    StreamServer(std::string bytes, Mode mode, size_t piece, std::chrono::milliseconds pause);
    ~StreamServer();
    StreamServer(const StreamServer&) = delete;
    StreamServer& operator=(const StreamServer&) = delete;

    // The address of `name` on this server.
    std::string Address(const std::string& name) const;
    // StopHalfway: lets the connection that waits at the half end before its promised length.
    void StopHalfway();

private:
    bool Provide(size_t offset, size_t length, httplib::DataSink& sink);

    const std::string bytes_;
    const Mode mode_;
    const size_t piece_;
    const std::chrono::milliseconds pause_;
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
    std::mutex mu_;
    std::condition_variable stopping_;
    bool closing_ = false;
    bool stop_allowed_ = false;  // StopHalfway: the test lets the stream break
    bool stopped_ = false;       // StopHalfway: the half has been sent
};

}  // namespace enginetest
