#include "update_server.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace updtest {
namespace {

// The pause between the parts of a slow reply: well inside the tests' stall limit.
constexpr std::chrono::milliseconds kPace(300);

}  // namespace

UpdateServer::UpdateServer() {
    // Big enough to be sent in parts; a "#!" script that records how it was run comes first.
    installer_ = std::string(200 * 1024, '#');
    auto& svr = server_.Server();
    svr.Post("/fans.br", [this](const httplib::Request& req, httplib::Response& res) {
        ++queries_;
        if (req.body != "<brindo_fans><cmd>getver</cmd></brindo_fans>") {
            res.status = 400;
            return;
        }
        if (trickle_) {
            res.set_chunked_content_provider("text/xml", [this](size_t, httplib::DataSink& sink) {
                return !server_.Hold(kPace) && sink.write(" ", 1);
            });
            return;
        }
        std::lock_guard<std::mutex> lock(mutex_);
        if (raw_) {
            res.status = rawStatus_;
            res.set_content(rawReply_, "text/xml");
            return;
        }
        res.set_content(
            "<brindo_fans><flashlist><flash><name>player</name><ver>9.9</ver></flash>"
            "<flash><name>pack</name><ver>" +
                version_ + "</ver></flash></flashlist></brindo_fans>",
            "text/xml");
    });
    svr.Get(R"(/inspack/.*)", [this](const httplib::Request& req, httplib::Response& res) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            lastDownload_ = req.path;
        }
        ++downloads_;
        Serving serving = serving_;
        std::string installer = Installer();
        if (serving == Serving::kMissing) {
            res.status = 404;
            res.set_content("<html>not here</html>", "text/html");
            return;
        }
        if (serving == Serving::kWhole) {
            res.set_content(installer, "application/octet-stream");
            return;
        }
        res.set_content_provider(
            installer.size(), "application/octet-stream",
            [this, serving, installer](size_t offset, size_t, httplib::DataSink& sink) {
                if (serving == Serving::kSlow) {
                    size_t part = std::min(installer.size() - offset, installer.size() / 16 + 1);
                    return !server_.Hold(kPace) && sink.write(installer.data() + offset, part);
                }
                size_t half = installer.size() / 2;
                if (offset == 0) {
                    return sink.write(installer.data(), half);
                }
                if (serving == Serving::kDies) {
                    return false;
                }
                server_.Hold();
                if (serving == Serving::kStalls) {
                    return false;
                }
                return sink.write(installer.data() + offset, installer.size() - offset);
            });
    });
    server_.Start();
}

std::string UpdateServer::Installer() {
    std::lock_guard<std::mutex> lock(mutex_);
    return installer_;
}

void UpdateServer::SetInstaller(const std::string& bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    installer_ = bytes;
}

void UpdateServer::SetVersion(const std::string& version) {
    std::lock_guard<std::mutex> lock(mutex_);
    version_ = version;
}

void UpdateServer::SetRawReply(const std::string& body, int status) {
    std::lock_guard<std::mutex> lock(mutex_);
    raw_ = true;
    rawReply_ = body;
    rawStatus_ = status;
}

std::string UpdateServer::LastDownload() {
    std::lock_guard<std::mutex> lock(mutex_);
    return lastDownload_;
}

bool UpdateServer::WaitForDownload(int timeoutMs) {
    for (int waited = 0; waited < timeoutMs && downloads_ == 0; waited += 5) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return downloads_ > 0;
}

}  // namespace updtest
