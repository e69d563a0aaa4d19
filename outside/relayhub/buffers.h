// The reply buffers of one call center: every buffer it handed out and has not taken back, with
// its size, so that a reply names only a buffer of the library and never more bytes than it has.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace relayhub {

class BufferTable {
public:
    // A buffer of `size` bytes, 0 to the largest payload; none otherwise.
    void* Alloc(int32_t size);
    // Gives a buffer back; null and unknown pointers are ignored.
    void Free(void* buffer);
    // Takes a buffer out of the table to send it: false when it is not one of the table's.
    // The caller then owns it and frees it with std::free.
    bool Take(void* buffer, size_t* size);
    // Buffers handed out and not yet given back.
    size_t Live() const;

private:
    mutable std::mutex mutex_;
    std::unordered_map<void*, size_t> sizes_;
};

}  // namespace relayhub
