// Test support: the byte stream in the tests' one byte notation (tests/support/hex_bytes.h): a
// writer's bytes as text and as hex pairs.
#pragma once

#include <cstddef>
#include <string>

#include "byte_stream.h"
#include "hex_bytes.h"

namespace brtest {

// The bytes a writer holds.
inline std::string Bytes(const CStreamWriter& writer) {
    return writer.GetData() ? std::string(reinterpret_cast<const char*>(writer.GetData()),
                                          static_cast<size_t>(writer.GetSize()))
                            : std::string();
}

inline std::string Hex(const CStreamWriter& writer) {
    return Hex(writer.GetData(), static_cast<size_t>(writer.GetSize()));
}

}  // namespace brtest
