// The address of a Unix socket file. A path longer than a socket address holds is reached
// through the folder's descriptor (/proc/self/fd/N/name), so deep runtime roots work too.
#pragma once

#include <sys/socket.h>
#include <sys/un.h>

#include <string>

namespace pal {

class UnixAddress {
public:
    UnixAddress(const std::string& folder, const std::string& name);
    ~UnixAddress();
    UnixAddress(const UnixAddress&) = delete;
    UnixAddress& operator=(const UnixAddress&) = delete;

    // False when the folder cannot be opened for a long path.
    bool Valid() const { return valid_; }
    const sockaddr* Get() const { return reinterpret_cast<const sockaddr*>(&address_); }
    socklen_t Size() const { return sizeof address_; }

private:
    sockaddr_un address_{};
    int folderFd_ = -1;
    bool valid_ = false;
};

}  // namespace pal
