#include "buffers.h"

#include <cstdlib>

#include "frame.h"

namespace relayhub {

void* BufferTable::Alloc(int32_t size) {
    if (size < 0 || static_cast<uint32_t>(size) > kMaxPayload) {
        return nullptr;
    }
    void* buffer = std::malloc(size > 0 ? static_cast<size_t>(size) : 1);
    if (buffer) {
        std::lock_guard<std::mutex> lock(mutex_);
        sizes_.emplace(buffer, static_cast<size_t>(size));
    }
    return buffer;
}

void BufferTable::Free(void* buffer) {
    size_t size;
    if (Take(buffer, &size)) {
        std::free(buffer);
    }
}

bool BufferTable::Take(void* buffer, size_t* size) {
    if (!buffer) {
        return false;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = sizes_.find(buffer);
    if (it == sizes_.end()) {
        return false;
    }
    *size = it->second;
    sizes_.erase(it);
    return true;
}

size_t BufferTable::Live() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return sizes_.size();
}

}  // namespace relayhub
