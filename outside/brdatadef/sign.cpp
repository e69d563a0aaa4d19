#include "sign.h"

Sign::Sign(std::string text) : first(0), second(0) {
    if (text.empty()) {
        return;
    }
    // 64-bit FNV-1a over the bytes; the high half is the first value, the low half the second.
    uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 0x100000001b3ull;
    }
    first = static_cast<uint32_t>(hash >> 32);
    second = static_cast<uint32_t>(hash);
}
