// The wire format: every message on a connection is one frame, a 40-byte header followed by its
// payload. All integers are little-endian.
//
//   offset size  call                      reply
//   0      4     magic "RHUB"              magic "RHUB"
//   4      2     version 1                 version 1
//   6      2     kind 1                    kind 2
//   8      8     sequence number           the call's sequence number
//   16     4     sender endpoint id        status: 0 delivered, else the receiver's failure
//   20     4     target endpoint id        0
//   24     4     reserved argument         0
//   28     4     channel                   0
//   32     4     flags 0                   flags: bit 0 set when a reply buffer follows
//   36     4     payload length            reply length (0 without bit 0)
//
// A frame is malformed when its magic, version or kind is wrong, it sets unknown flags, a reply
// sets the fields a reply leaves 0 or has a length without a buffer, or its length is above
// RH_MAX_PAYLOAD (oversized, seen before any payload byte arrives).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace relayhub {

inline constexpr size_t kFrameHeaderSize = 40;
inline constexpr uint32_t kMaxPayload = 16u * 1024 * 1024;
inline constexpr uint32_t kReplyHasBuffer = 1;

enum class FrameKind : uint16_t { kCall = 1, kReply = 2 };

struct FrameHeader {
    FrameKind kind = FrameKind::kCall;
    uint64_t sequence = 0;
    int32_t sender = 0;    // call
    int32_t status = 0;    // reply
    int32_t target = 0;    // call
    int32_t reserved = 0;  // call
    int32_t channel = 0;   // call
    uint32_t flags = 0;
    uint32_t length = 0;
};

enum class DecodeStatus { kFrame, kNeedMore, kMalformed, kOversized };

// Writes the 40 header bytes of h.
void EncodeFrameHeader(const FrameHeader& h, uint8_t out[kFrameHeaderSize]);
// Reads 40 header bytes, accepting only frames of kind `expected`.
DecodeStatus DecodeFrameHeader(const uint8_t* in, FrameKind expected, FrameHeader* h);

struct Frame {
    FrameHeader header;
    uint8_t raw[kFrameHeaderSize] = {};
    std::vector<uint8_t> payload;
};

// Cuts the byte stream of one connection into frames of one kind. Once a frame is malformed or
// oversized the reader stays so: the connection must be closed.
class FrameReader {
public:
    explicit FrameReader(FrameKind expected) : expected_(expected) {}

    // Room for at least `size` more bytes, to be filled and then confirmed with Commit.
    uint8_t* Space(size_t size);
    void Commit(size_t size) { end_ += size; }
    void Append(const uint8_t* data, size_t size);

    // The next complete frame, or why there is none.
    DecodeStatus Next(Frame* frame);
    // How many bytes the next frame still needs (at least 1 when Next said kNeedMore).
    size_t Missing() const;
    // Bytes received and not yet taken as a frame.
    size_t Buffered() const { return end_ - start_; }

private:
    FrameKind expected_;
    DecodeStatus failed_ = DecodeStatus::kNeedMore;
    std::vector<uint8_t> buffer_;
    size_t start_ = 0;
    size_t end_ = 0;
};

}  // namespace relayhub
