#include "window/post_wire.h"

namespace pal {
namespace {

void Put(unsigned char* at, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i, value >>= 8) {
        at[i] = static_cast<unsigned char>(value & 0xFF);
    }
}

uint64_t Get(const unsigned char* at, int bytes) {
    uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = value << 8 | at[i];
    }
    return value;
}

}  // namespace

std::array<unsigned char, kPostWireSize> EncodePost(const PostedMessage& post) {
    std::array<unsigned char, kPostWireSize> bytes{};
    Put(&bytes[0], post.hwnd, 8);
    Put(&bytes[8], post.message, 4);
    Put(&bytes[16], static_cast<uint64_t>(post.wParam), 8);
    Put(&bytes[24], static_cast<uint64_t>(post.lParam), 8);
    return bytes;
}

std::optional<PostedMessage> DecodePost(std::string_view datagram) {
    if (datagram.size() != kPostWireSize) {
        return std::nullopt;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(datagram.data());
    if (Get(bytes + 12, 4) != 0) {
        return std::nullopt;
    }
    PostedMessage post;
    post.hwnd = Get(bytes, 8);
    post.message = static_cast<UINT>(Get(bytes + 8, 4));
    post.wParam = static_cast<WPARAM>(Get(bytes + 16, 8));
    post.lParam = static_cast<LPARAM>(Get(bytes + 24, 8));
    return post;
}

}  // namespace pal
