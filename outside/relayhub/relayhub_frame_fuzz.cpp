// Feeds arbitrary bytes, in pieces of a size the input chooses, to the frame reader of either
// side, and checks what it accepts: every frame is whole, within the limit, its header encodes
// back to the very bytes it came from, and no byte is lost or invented.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "frame.h"

using namespace relayhub;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    FrameKind kind = (data[0] & 1) ? FrameKind::kReply : FrameKind::kCall;
    size_t piece = 1 + data[1];
    data += 2;
    size -= 2;

    FrameReader reader(kind);
    size_t fed = 0, taken = 0;
    bool failed = false;
    while (fed < size && !failed) {
        size_t n = size - fed < piece ? size - fed : piece;
        reader.Append(data + fed, n);
        fed += n;
        for (;;) {
            Frame frame;
            DecodeStatus status = reader.Next(&frame);
            if (status == DecodeStatus::kNeedMore) {
                if (reader.Missing() == 0) {
                    std::abort();
                }
                break;
            }
            if (status != DecodeStatus::kFrame) {
                failed = true;
                break;
            }
            if (frame.payload.size() != frame.header.length || frame.header.length > kMaxPayload ||
                frame.header.kind != kind) {
                std::abort();
            }
            uint8_t again[kFrameHeaderSize];
            EncodeFrameHeader(frame.header, again);
            if (std::memcmp(again, frame.raw, kFrameHeaderSize) != 0 ||
                std::memcmp(frame.raw, data + taken, kFrameHeaderSize) != 0 ||
                (frame.header.length > 0 &&
                 std::memcmp(frame.payload.data(), data + taken + kFrameHeaderSize,
                             frame.header.length) != 0)) {
                std::abort();
            }
            taken += kFrameHeaderSize + frame.header.length;
        }
        if (!failed && taken + reader.Buffered() != fed) {
            std::abort();
        }
    }
    return 0;
}
