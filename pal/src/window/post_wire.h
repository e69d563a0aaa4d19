// What one process sends another to post a message to one of its windows: one datagram of 32
// bytes, all fields little-endian:
//
//     bytes 0-7   the window handle
//     bytes 8-11  the message
//     bytes 12-15 zero
//     bytes 16-23 wParam
//     bytes 24-31 lParam
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "windows.h"

namespace pal {

struct PostedMessage {
    uint64_t hwnd = 0;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;

    bool operator==(const PostedMessage&) const = default;
};

constexpr size_t kPostWireSize = 32;

std::array<unsigned char, kPostWireSize> EncodePost(const PostedMessage& post);
// Nothing unless the datagram is exactly 32 bytes with its zero field zero.
std::optional<PostedMessage> DecodePost(std::string_view datagram);

}  // namespace pal
