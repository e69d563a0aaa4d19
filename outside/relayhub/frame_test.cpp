#include "frame.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace relayhub {
namespace {

// Bytes written as hex pairs; spaces are ignored.
std::vector<uint8_t> Hex(const std::string& text) {
    std::vector<uint8_t> out;
    std::string digits;
    for (char c : text) {
        if (c != ' ') {
            digits += c;
        }
    }
    for (size_t i = 0; i + 1 < digits.size(); i += 2) {
        out.push_back(static_cast<uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    }
    return out;
}

FrameHeader Call(uint64_t sequence, int32_t sender, int32_t target, int32_t reserved,
                 int32_t channel, uint32_t length) {
    FrameHeader h;
    h.kind = FrameKind::kCall;
    h.sequence = sequence;
    h.sender = sender;
    h.target = target;
    h.reserved = reserved;
    h.channel = channel;
    h.length = length;
    return h;
}

FrameHeader Reply(uint64_t sequence, int32_t status, uint32_t flags, uint32_t length) {
    FrameHeader h;
    h.kind = FrameKind::kReply;
    h.sequence = sequence;
    h.status = status;
    h.flags = flags;
    h.length = length;
    return h;
}

struct EncodeCase {
    const char* name;
    FrameHeader header;
    const char* bytes;
};

TEST(FrameHeader, EncodesExactBytesAndDecodesThemBack) {
    const EncodeCase cases[] = {
        {"call", Call(1, 4098, 4097, 0, 2, 16),
         "52485542 0100 0100 0100000000000000 02100000 01100000 00000000 02000000 00000000 "
         "10000000"},
        {"call with every field wide", Call(0x0102030405060708ull, -1, 0x7FFFFFFF, -2, -3, 0),
         "52485542 0100 0100 0807060504030201 FFFFFFFF FFFFFF7F FEFFFFFF FDFFFFFF 00000000 "
         "00000000"},
        {"reply with a buffer", Reply(7, 0, kReplyHasBuffer, 4),
         "52485542 0100 0200 0700000000000000 00000000 00000000 00000000 00000000 01000000 "
         "04000000"},
        {"reply without a buffer", Reply(8, 0, 0, 0),
         "52485542 0100 0200 0800000000000000 00000000 00000000 00000000 00000000 00000000 "
         "00000000"},
        {"failed reply", Reply(9, static_cast<int32_t>(0x80040305u), 0, 0),
         "52485542 0100 0200 0900000000000000 05030480 00000000 00000000 00000000 00000000 "
         "00000000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        uint8_t out[kFrameHeaderSize];
        EncodeFrameHeader(c.header, out);
        std::vector<uint8_t> expected = Hex(c.bytes);
        ASSERT_EQ(expected.size(), kFrameHeaderSize);
        EXPECT_EQ(std::vector<uint8_t>(out, out + kFrameHeaderSize), expected);

        FrameHeader back;
        ASSERT_EQ(DecodeFrameHeader(out, c.header.kind, &back), DecodeStatus::kFrame);
        EXPECT_EQ(back.sequence, c.header.sequence);
        EXPECT_EQ(back.sender, c.header.sender);
        EXPECT_EQ(back.status, c.header.status);
        EXPECT_EQ(back.target, c.header.target);
        EXPECT_EQ(back.reserved, c.header.reserved);
        EXPECT_EQ(back.channel, c.header.channel);
        EXPECT_EQ(back.flags, c.header.flags);
        EXPECT_EQ(back.length, c.header.length);
    }
}

struct HostileCase {
    const char* name;
    FrameKind expected;
    const char* bytes;
    DecodeStatus status;
};

TEST(FrameHeader, RefusesHostileHeaders) {
    const HostileCase cases[] = {
        {"wrong magic", FrameKind::kCall,
         "52485543 0100 0100 0100000000000000 00000000 00000000 00000000 00000000 00000000 "
         "00000000",
         DecodeStatus::kMalformed},
        {"wrong version", FrameKind::kCall,
         "52485542 0200 0100 0100000000000000 00000000 00000000 00000000 00000000 00000000 "
         "00000000",
         DecodeStatus::kMalformed},
        {"reply on the call side", FrameKind::kCall,
         "52485542 0100 0200 0100000000000000 00000000 00000000 00000000 00000000 00000000 "
         "00000000",
         DecodeStatus::kMalformed},
        {"call on the reply side", FrameKind::kReply,
         "52485542 0100 0100 0100000000000000 00000000 00000000 00000000 00000000 00000000 "
         "00000000",
         DecodeStatus::kMalformed},
        {"unknown kind", FrameKind::kCall,
         "52485542 0100 0300 0100000000000000 00000000 00000000 00000000 00000000 00000000 "
         "00000000",
         DecodeStatus::kMalformed},
        {"call with flags", FrameKind::kCall,
         "52485542 0100 0100 0100000000000000 00000000 00000000 00000000 00000000 01000000 "
         "00000000",
         DecodeStatus::kMalformed},
        {"reply with unknown flags", FrameKind::kReply,
         "52485542 0100 0200 0100000000000000 00000000 00000000 00000000 00000000 03000000 "
         "00000000",
         DecodeStatus::kMalformed},
        {"reply with a target", FrameKind::kReply,
         "52485542 0100 0200 0100000000000000 00000000 01000000 00000000 00000000 00000000 "
         "00000000",
         DecodeStatus::kMalformed},
        {"reply with a channel", FrameKind::kReply,
         "52485542 0100 0200 0100000000000000 00000000 00000000 00000000 01000000 00000000 "
         "00000000",
         DecodeStatus::kMalformed},
        {"reply length without a buffer", FrameKind::kReply,
         "52485542 0100 0200 0100000000000000 00000000 00000000 00000000 00000000 00000000 "
         "01000000",
         DecodeStatus::kMalformed},
        {"failed reply with a buffer", FrameKind::kReply,
         "52485542 0100 0200 0100000000000000 05000000 00000000 00000000 00000000 01000000 "
         "00000000",
         DecodeStatus::kMalformed},
        {"call one byte above the limit", FrameKind::kCall,
         "52485542 0100 0100 0100000000000000 00000000 00000000 00000000 00000000 00000000 "
         "01000001",
         DecodeStatus::kOversized},
        {"reply with the largest length", FrameKind::kReply,
         "52485542 0100 0200 0100000000000000 00000000 00000000 00000000 00000000 01000000 "
         "FFFFFFFF",
         DecodeStatus::kOversized},
        {"call at the limit", FrameKind::kCall,
         "52485542 0100 0100 0100000000000000 00000000 00000000 00000000 00000000 00000000 "
         "00000001",
         DecodeStatus::kFrame},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> bytes = Hex(c.bytes);
        ASSERT_EQ(bytes.size(), kFrameHeaderSize);
        FrameHeader h;
        EXPECT_EQ(DecodeFrameHeader(bytes.data(), c.expected, &h), c.status);
    }
}

std::vector<uint8_t> CallFrame(uint64_t sequence, const std::string& payload) {
    std::vector<uint8_t> out(kFrameHeaderSize);
    EncodeFrameHeader(Call(sequence, 1, 2, 0, 3, static_cast<uint32_t>(payload.size())),
                      out.data());
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

TEST(FrameReader, CutsAStreamFedByteByByteIntoItsFrames) {
    std::vector<uint8_t> stream = CallFrame(1, "first");
    std::vector<uint8_t> second = CallFrame(2, "");
    std::vector<uint8_t> third = CallFrame(3, "third frame");
    stream.insert(stream.end(), second.begin(), second.end());
    stream.insert(stream.end(), third.begin(), third.end());

    FrameReader reader(FrameKind::kCall);
    std::vector<std::pair<uint64_t, std::string>> got;
    for (uint8_t byte : stream) {
        reader.Append(&byte, 1);
        Frame frame;
        DecodeStatus status;
        while ((status = reader.Next(&frame)) == DecodeStatus::kFrame) {
            got.emplace_back(frame.header.sequence,
                             std::string(frame.payload.begin(), frame.payload.end()));
            EXPECT_EQ(std::memcmp(frame.raw, stream.data(), 4), 0);
        }
        ASSERT_EQ(status, DecodeStatus::kNeedMore);
        EXPECT_GE(reader.Missing(), 1u);
    }
    std::vector<std::pair<uint64_t, std::string>> expected = {
        {1, "first"}, {2, ""}, {3, "third frame"}};
    EXPECT_EQ(got, expected);
    EXPECT_EQ(reader.Buffered(), 0u);
}

TEST(FrameReader, TruncatedFrameWaitsForItsRest) {
    std::vector<uint8_t> frame = CallFrame(5, "payload");
    FrameReader reader(FrameKind::kCall);
    reader.Append(frame.data(), frame.size() - 1);
    Frame out;
    EXPECT_EQ(reader.Next(&out), DecodeStatus::kNeedMore);
    EXPECT_EQ(reader.Missing(), 1u);
    reader.Append(&frame.back(), 1);
    ASSERT_EQ(reader.Next(&out), DecodeStatus::kFrame);
    EXPECT_EQ(std::string(out.payload.begin(), out.payload.end()), "payload");
}

TEST(FrameReader, StaysFailedAfterAMalformedOrOversizedHeader) {
    std::vector<uint8_t> good = CallFrame(1, "x");
    std::vector<uint8_t> bad = good;
    bad[0] = 'X';
    FrameReader malformed(FrameKind::kCall);
    malformed.Append(bad.data(), bad.size());
    malformed.Append(good.data(), good.size());
    Frame out;
    EXPECT_EQ(malformed.Next(&out), DecodeStatus::kMalformed);
    EXPECT_EQ(malformed.Next(&out), DecodeStatus::kMalformed);

    // Oversized is known from the header alone, before any payload byte.
    std::vector<uint8_t> huge(kFrameHeaderSize);
    EncodeFrameHeader(Call(1, 1, 2, 0, 3, kMaxPayload + 1), huge.data());
    FrameReader oversized(FrameKind::kCall);
    oversized.Append(huge.data(), huge.size());
    EXPECT_EQ(oversized.Next(&out), DecodeStatus::kOversized);
    oversized.Append(good.data(), good.size());
    EXPECT_EQ(oversized.Next(&out), DecodeStatus::kOversized);
}

}  // namespace
}  // namespace relayhub
