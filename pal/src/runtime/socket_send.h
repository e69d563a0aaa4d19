// Sends a whole text on a connected socket, never raising SIGPIPE: false when the peer is gone or
// the send fails (errno says why).
#pragma once

#include <string>

namespace pal {

bool SendAll(int fd, const std::string& text);

}  // namespace pal
