// The synchronous request: an HTTP POST of a body, its whole reply kept in memory.
#pragma once

#include <cstddef>
#include <string>

namespace httpmgr {

// The largest reply the library holds; a longer one fails the request.
constexpr size_t kMaxReplyBytes = 16u << 20;

struct Reply {
    bool received = false;  // a whole reply came back
    long status = 0;        // its HTTP status
    std::string body;
};

// Posts body to url and waits for the whole reply, within the transfer limits.
Reply PostForReply(const std::string& url, const std::string& body);

}  // namespace httpmgr
