// Fuzz target: the walk over a version reply, on any bytes (cut at the first NUL, as the reply
// buffer is read).
#include <cstddef>
#include <cstdint>
#include <string>

#include "version_reply.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string reply(reinterpret_cast<const char*>(data), size);
    std::string version;
    FindPackVersion(reply.c_str(), version);
    return 0;
}
