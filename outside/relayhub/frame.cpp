#include "frame.h"

#include <algorithm>
#include <cstring>

namespace relayhub {

namespace {

constexpr uint8_t kMagic[4] = {'R', 'H', 'U', 'B'};
constexpr uint16_t kVersion = 1;
constexpr size_t kKeepBuffer = 1024 * 1024;

void Put16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<uint8_t>(v >> (8 * i));
    }
}
void Put64(uint8_t* p, uint64_t v) {
    for (int i = 0; i < 8; ++i) {
        p[i] = static_cast<uint8_t>(v >> (8 * i));
    }
}
uint16_t Get16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t Get32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint64_t Get64(const uint8_t* p) {
    return static_cast<uint64_t>(Get32(p)) | (static_cast<uint64_t>(Get32(p + 4)) << 32);
}

}  // namespace

void EncodeFrameHeader(const FrameHeader& h, uint8_t out[kFrameHeaderSize]) {
    std::memcpy(out, kMagic, 4);
    Put16(out + 4, kVersion);
    Put16(out + 6, static_cast<uint16_t>(h.kind));
    Put64(out + 8, h.sequence);
    bool call = h.kind == FrameKind::kCall;
    Put32(out + 16, static_cast<uint32_t>(call ? h.sender : h.status));
    Put32(out + 20, static_cast<uint32_t>(call ? h.target : 0));
    Put32(out + 24, static_cast<uint32_t>(call ? h.reserved : 0));
    Put32(out + 28, static_cast<uint32_t>(call ? h.channel : 0));
    Put32(out + 32, h.flags);
    Put32(out + 36, h.length);
}

DecodeStatus DecodeFrameHeader(const uint8_t* in, FrameKind expected, FrameHeader* h) {
    if (std::memcmp(in, kMagic, 4) != 0 || Get16(in + 4) != kVersion ||
        Get16(in + 6) != static_cast<uint16_t>(expected)) {
        return DecodeStatus::kMalformed;
    }
    FrameHeader out;
    out.kind = expected;
    out.sequence = Get64(in + 8);
    out.flags = Get32(in + 32);
    out.length = Get32(in + 36);
    if (expected == FrameKind::kCall) {
        out.sender = static_cast<int32_t>(Get32(in + 16));
        out.target = static_cast<int32_t>(Get32(in + 20));
        out.reserved = static_cast<int32_t>(Get32(in + 24));
        out.channel = static_cast<int32_t>(Get32(in + 28));
        if (out.flags != 0) {
            return DecodeStatus::kMalformed;
        }
    } else {
        out.status = static_cast<int32_t>(Get32(in + 16));
        bool buffer = (out.flags & kReplyHasBuffer) != 0;
        if (Get32(in + 20) != 0 || Get32(in + 24) != 0 || Get32(in + 28) != 0 ||
            (out.flags & ~kReplyHasBuffer) != 0 || (!buffer && out.length != 0) ||
            (buffer && out.status != 0)) {
            return DecodeStatus::kMalformed;
        }
    }
    if (out.length > kMaxPayload) {
        return DecodeStatus::kOversized;
    }
    *h = out;
    return DecodeStatus::kFrame;
}

uint8_t* FrameReader::Space(size_t size) {
    if (start_ == end_) {
        start_ = end_ = 0;
        if (buffer_.size() > kKeepBuffer) {
            std::vector<uint8_t>().swap(buffer_);  // a large frame has passed; give its room back
        }
    } else if (start_ > 0 && buffer_.size() - end_ < size) {
        std::memmove(buffer_.data(), buffer_.data() + start_, end_ - start_);
        end_ -= start_;
        start_ = 0;
    }
    if (buffer_.size() - end_ < size) {
        buffer_.resize(end_ + size);
    }
    return buffer_.data() + end_;
}

void FrameReader::Append(const uint8_t* data, size_t size) {
    if (size > 0) {
        std::memcpy(Space(size), data, size);
        Commit(size);
    }
}

size_t FrameReader::Missing() const {
    size_t have = Buffered();
    if (have < kFrameHeaderSize) {
        return kFrameHeaderSize - have;
    }
    FrameHeader h;
    if (DecodeFrameHeader(buffer_.data() + start_, expected_, &h) != DecodeStatus::kFrame) {
        return 1;
    }
    size_t whole = kFrameHeaderSize + h.length;
    return whole > have ? whole - have : 0;
}

DecodeStatus FrameReader::Next(Frame* frame) {
    if (failed_ != DecodeStatus::kNeedMore) {
        return failed_;
    }
    if (Buffered() < kFrameHeaderSize) {
        return DecodeStatus::kNeedMore;
    }
    const uint8_t* at = buffer_.data() + start_;
    FrameHeader h;
    DecodeStatus status = DecodeFrameHeader(at, expected_, &h);
    if (status != DecodeStatus::kFrame) {
        failed_ = status;
        return status;
    }
    if (Buffered() < kFrameHeaderSize + h.length) {
        return DecodeStatus::kNeedMore;
    }
    frame->header = h;
    std::memcpy(frame->raw, at, kFrameHeaderSize);
    frame->payload.assign(at + kFrameHeaderSize, at + kFrameHeaderSize + h.length);
    start_ += kFrameHeaderSize + h.length;
    return DecodeStatus::kFrame;
}

}  // namespace relayhub
