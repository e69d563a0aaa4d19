// The version service and download host of the update tests: one cpp-httplib server on
// 127.0.0.1 that answers the version query with the version the test sets and serves the
// installer in the way the test sets, counting what it was asked.
#pragma once

#include <atomic>
#include <mutex>
#include <string>

#include "test_http_server.h"

namespace updtest {

enum class Serving {
    kWhole,    // the whole installer
    kMissing,  // 404
    kDies,     // the first part, then the connection closes
    kStalls,   // the first part, then nothing until the test ends
    kHeld,     // the first part, then the rest once Release() is called
    kSlow,     // in sixteen parts, one every 300 ms: alive, each pause inside the stall limit
};

class UpdateServer {
public:
    UpdateServer();
    ~UpdateServer() { server_.Stop(); }

    std::string Host() const { return server_.Host(); }
    void SetVersion(const std::string& version);
    // Answers the version query with these bytes and that status instead of the usual reply.
    void SetRawReply(const std::string& body, int status);
    // Answers the version query with a chunked body of one blank every 300 ms, without end
    // until Release().
    void SetTricklingReply() { trickle_ = true; }
    void SetServing(Serving serving) { serving_ = serving; }
    // The installer's bytes, the same for every version.
    std::string Installer();
    void SetInstaller(const std::string& bytes);
    void Release() { server_.Release(); }

    int Queries() const { return queries_; }
    int Downloads() const { return downloads_; }
    // The path of the last download asked for.
    std::string LastDownload();
    // True once a download has been asked for, within the time.
    bool WaitForDownload(int timeoutMs);

private:
    httptest::TestHttpServer server_;
    std::mutex mutex_;
    std::string version_;
    bool raw_ = false;
    int rawStatus_ = 200;
    std::string rawReply_;
    std::string lastDownload_;
    std::string installer_;
    std::atomic<Serving> serving_{Serving::kWhole};
    std::atomic<bool> trickle_{false};
    std::atomic<int> queries_{0};
    std::atomic<int> downloads_{0};
};

}  // namespace updtest
