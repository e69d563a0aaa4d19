#include "byte_stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <sstream>
#include <stdexcept>

#include "stream_test_util.h"

namespace {

using brtest::Bytes;
using brtest::Counting;
using brtest::Hex;
using brtest::Norm;

PlayBlock CountingBlock() {
    PlayBlock block;
    std::string bytes = Counting(sizeof block.bytes);
    std::memcpy(block.bytes, bytes.data(), bytes.size());
    return block;
}

// ---- Writers: exact bytes ----

struct WriteCase {
    const char* name;
    std::function<void(CStreamWriter&)> write;
    std::string expected;  // hex
};

TEST(StreamWriter, WritesExactBytes) {
    const std::string block = Hex(Counting(56));
    const WriteCase cases[] = {
        {"int", [](CStreamWriter& w) { w.WriteInt(0x12345678); }, "78 56 34 12"},
        {"negative int", [](CStreamWriter& w) { w.WriteInt(-2); }, "FE FF FF FF"},
        {"byte", [](CStreamWriter& w) { w.WriteByte(0xAB); }, "AB"},
        {"sign", [](CStreamWriter& w) { w.WriteSign(Sign(1, 0x80000000u)); },
         "01 00 00 00 | 00 00 00 80"},
        {"sign ints", [](CStreamWriter& w) { w.WriteSignInts(0xFFFFFFFFu, 3); },
         "FF FF FF FF | 03 00 00 00"},
        {"string", [](CStreamWriter& w) { w.WriteString("abc"); }, "61 62 63 00"},
        {"empty string", [](CStreamWriter& w) { w.WriteString(""); }, "00"},
        {"string with a NUL of its own ends there",
         [](CStreamWriter& w) {
             w.WriteString(std::string("ab\0cd", 5));
             w.WriteInt(7);
         },
         "61 62 00 | 07 00 00 00"},
        {"text", [](CStreamWriter& w) { w.WriteText("xy"); }, "78 79 00"},
        {"null text", [](CStreamWriter& w) { w.WriteText(nullptr); }, "00"},
        {"quad",
         [](CStreamWriter& w) {
             w.WriteQuad(PlayQuad{{1, 2, 3, -1}});
         },
         "01 00 00 00 | 02 00 00 00 | 03 00 00 00 | FF FF FF FF"},
        {"block", [](CStreamWriter& w) { w.WriteBlock(CountingBlock()); }, block},
        {"raw", [](CStreamWriter& w) { w.WriteRaw("\x01\x02\x03", 3); }, "01 02 03"},
        {"raw of 0", [](CStreamWriter& w) { w.WriteRaw("\x01", 0); }, ""},
        {"raw of -1", [](CStreamWriter& w) { w.WriteRaw("\x01", -1); }, ""},
        {"raw from null keeps its length", [](CStreamWriter& w) { w.WriteRaw(nullptr, 2); },
         "00 00"},
        {"cmd int", [](CStreamWriter& w) { w.WriteCmdInt(7, 300); }, "07 00 00 00 | 2C 01 00 00"},
        {"cmd ints", [](CStreamWriter& w) { w.WriteCmdInts(1, 7, 8, 9); },
         "01 00 00 00 | 07 00 00 00 | 08 00 00 00 | 09 00 00 00"},
        {"cmd byte", [](CStreamWriter& w) { w.WriteCmdByte(9, 1); }, "09 00 00 00 | 01"},
        {"cmd quad",
         [](CStreamWriter& w) {
             w.WriteCmdQuad(11, PlayQuad{{4, 3, 2, 1}});
         },
         "0B 00 00 00 | 04 00 00 00 | 03 00 00 00 | 02 00 00 00 | 01 00 00 00"},
        {"cmd block", [](CStreamWriter& w) { w.WriteCmdBlock(14, CountingBlock()); },
         "0E 00 00 00 " + block},
        {"cmd int byte", [](CStreamWriter& w) { w.WriteCmdIntByte(9, -1, 1); },
         "09 00 00 00 | FF FF FF FF | 01"},
        {"cmd sign", [](CStreamWriter& w) { w.WriteCmdSign(8, Sign(1, 2)); },
         "08 00 00 00 | 01 00 00 00 02 00 00 00"},
        {"cmd sign int", [](CStreamWriter& w) { w.WriteCmdSignInt(6, Sign(1, 2), 0x1234); },
         "06 00 00 00 | 01 00 00 00 02 00 00 00 | 34 12 00 00"},
        {"cmd sign ints", [](CStreamWriter& w) { w.WriteCmdSignInts(4, Sign(1, 2), 10, 20, 30); },
         "04 00 00 00 | 01 00 00 00 02 00 00 00 | 0A 00 00 00 | 14 00 00 00 | 1E 00 00 00"},
        {"cmd sign string int",
         [](CStreamWriter& w) { w.WriteCmdSignStringInt(1, Sign(1, 2), "ok", 5); },
         "01 00 00 00 | 01 00 00 00 02 00 00 00 | 6F 6B 00 | 05 00 00 00"},
        {"cmd sign string int, null text",
         [](CStreamWriter& w) { w.WriteCmdSignStringInt(1, Sign(), nullptr, 0); },
         "01 00 00 00 | 00 00 00 00 00 00 00 00 | 00 | 00 00 00 00"},
        {"cmd sign sign string",
         [](CStreamWriter& w) { w.WriteCmdSignSignString(6, Sign(1, 2), Sign(3, 4), "z"); },
         "06 00 00 00 | 01 00 00 00 02 00 00 00 | 03 00 00 00 04 00 00 00 | 7A 00"},
        {"cmd sign pair",
         [](CStreamWriter& w) { w.WriteCmdSignPair(11, 1, 2, 3, 0xFFFFFFFFu, ""); },
         "0B 00 00 00 | 01 00 00 00 02 00 00 00 | 03 00 00 00 FF FF FF FF | 00"},
        {"start down",
         [](CStreamWriter& w) { w.WriteStartDown(5, Sign(1, 2), "u", 10, 11, 3, 0x12345678, 1); },
         "05 00 00 00 | 01 00 00 00 02 00 00 00 | 75 00 | 0A 00 00 00 | 0B 00 00 00 |"
         " 03 00 00 00 | 78 56 34 12 | 01"},
        {"int string", [](CStreamWriter& w) { w.WriteIntString(7, "abc"); },
         "07 00 00 00 | 61 62 63 00"},
    };
    for (const WriteCase& c : cases) {
        CStreamWriter writer;
        c.write(writer);
        EXPECT_EQ(Hex(writer), Norm(c.expected.c_str())) << c.name;
    }
}

TEST(StreamWriter, PlayRequestIsCopiedWhole) {
    PlayRequest request;
    request.itemNumber = 3;
    request.itemSign = Sign(5, 6);
    request.itemText3[510] = 'q';
    CStreamWriter writer;
    writer.WriteCmdPlayRequest(3, request);
    ASSERT_EQ(writer.GetSize(), 2596);
    EXPECT_EQ(std::memcmp(writer.GetData() + 4, &request, sizeof request), 0);
    EXPECT_EQ(Hex(writer.GetData(), 8), "03 00 00 00 00 00 00 00");
}

// ---- Writers: the buffer ----

TEST(StreamWriter, EmptyWriterHasNoBuffer) {
    CStreamWriter writer;
    EXPECT_EQ(writer.GetData(), nullptr);
    EXPECT_EQ(writer.GetSize(), 0);
    EXPECT_EQ(writer.GetCapacity(), 0u);
    writer.WriteRaw("ab", 0);
    writer.WriteRaw("ab", -5);
    EXPECT_EQ(writer.GetData(), nullptr);
    EXPECT_EQ(writer.GetCapacity(), 0u);
}

TEST(StreamWriter, CapacityDoublesFromOne) {
    CStreamWriter writer;
    writer.WriteByte(1);
    EXPECT_EQ(writer.GetCapacity(), 1u);
    writer.WriteInt(2);
    EXPECT_EQ(writer.GetCapacity(), 8u);
    EXPECT_EQ(writer.GetSize(), 5);
    writer.Reserve(100);
    EXPECT_EQ(writer.GetCapacity(), 128u);
    EXPECT_EQ(writer.GetSize(), 5);
    EXPECT_EQ(Hex(writer), "01 02 00 00 00");
}

TEST(StreamWriter, GrowingKeepsEveryByte) {
    // Many small writes across many reallocations, then read back in order.
    CStreamWriter writer;
    for (int i = 0; i < 5000; ++i) {
        writer.WriteInt(i * 7919);
        writer.WriteText(i % 3 == 0 ? "" : "xyz");
    }
    uint32_t capacity = writer.GetCapacity();
    EXPECT_EQ(capacity & (capacity - 1), 0u) << "not a power of two";
    EXPECT_GE(capacity, static_cast<uint32_t>(writer.GetSize()));
    CStreamReader reader;
    reader.Attach(writer.GetData(), writer.GetData() + writer.GetSize());
    for (int i = 0; i < 5000; ++i) {
        int value = 0;
        std::string text;
        ASSERT_TRUE(reader.ReadInt(value));
        ASSERT_TRUE(reader.ReadString(text));
        ASSERT_EQ(value, i * 7919);
        ASSERT_EQ(text, i % 3 == 0 ? "" : "xyz");
    }
    EXPECT_EQ(reader.GetRemaining(), 0u);
}

TEST(StreamWriter, OversizedPayloadThrowsAndKeepsTheBytes) {
    CStreamWriter writer;
    writer.WriteInt(1);
    // Sizes whose doubling or sum would wrap: refused before anything is allocated.
    EXPECT_THROW(writer.Reserve(CStreamWriter::kMaxSize), std::length_error);
    EXPECT_THROW(writer.Reserve(SIZE_MAX), std::length_error);
    EXPECT_EQ(writer.GetCapacity(), 4u);
    EXPECT_EQ(Hex(writer), "01 00 00 00");
}

TEST(StreamWriter, ClearReleasesAndTheWriterStaysUsable) {
    CStreamWriter writer;
    writer.WriteText("payload");
    writer.Clear();
    EXPECT_EQ(writer.GetData(), nullptr);
    EXPECT_EQ(writer.GetSize(), 0);
    EXPECT_EQ(writer.GetCapacity(), 0u);
    writer.WriteByte(9);
    EXPECT_EQ(Hex(writer), "09");
    EXPECT_EQ(writer.GetCapacity(), 1u);
}

TEST(StreamWriter, MoveHandsOverTheBuffer) {
    CStreamWriter first;
    first.WriteInt(5);
    CStreamWriter second(std::move(first));
    EXPECT_EQ(first.GetData(), nullptr);
    EXPECT_EQ(first.GetSize(), 0);
    EXPECT_EQ(Hex(second), "05 00 00 00");
    CStreamWriter third;
    third.WriteByte(1);
    third = std::move(second);
    EXPECT_EQ(Hex(third), "05 00 00 00");
    first.WriteByte(2);  // a moved-from writer starts again empty
    EXPECT_EQ(Hex(first), "02");
}

// ---- Readers: short inputs ----

// Outputs start as these, so a read that must not touch them shows it.
constexpr int kInt = 77;
constexpr BYTE kByte = 0xEE;
const Sign kSign(9, 9);
const char kText[] = "keep";

std::string Show(int v) {
    return std::to_string(v);
}
std::string Show(BYTE v) {
    return std::to_string(static_cast<int>(v));
}
std::string Show(const Sign& s) {
    return std::to_string(s.first) + "/" + std::to_string(s.second);
}
std::string Show(const std::string& s) {
    return "'" + s + "'";
}
std::string Show(const PlayQuad& q) {
    return Show(q.value[0]) + "," + Show(q.value[1]) + "," + Show(q.value[2]) + "," +
           Show(q.value[3]);
}
std::string Show(const PlayBlock& b) {
    return Hex(b.bytes, 1) + ".." + Hex(b.bytes + 55, 1);
}
std::string Show(const PlayRequest& r) {
    return Show(r.value0) + " " + Show(r.itemSign) + " " +
           Show(static_cast<BYTE>(r.itemText3[511]));
}

// "true 1/2 6": the result, then each output.
template <typename... Outputs>
std::string Result(bool ok, const Outputs&... outputs) {
    std::string out = ok ? "true" : "false";
    ((out += " " + Show(outputs)), ...);
    return out;
}

struct ReadCase {
    const char* name;
    std::string input;  // bytes
    std::function<std::string(CStreamReader&)> read;
    const char* expected;
    uint32_t remaining;
};

auto ReadIntOp = [](CStreamReader& r) {
    int v = kInt;
    bool ok = r.ReadInt(v);
    return Result(ok, v);
};
auto ReadByteOp = [](CStreamReader& r) {
    BYTE v = kByte;
    bool ok = r.ReadByte(v);
    return Result(ok, v);
};
auto ReadSignOp = [](CStreamReader& r) {
    Sign s = kSign;
    bool ok = r.ReadSign(s);
    return Result(ok, s);
};
auto ReadStringOp = [](CStreamReader& r) {
    std::string t = kText;
    bool ok = r.ReadString(t);
    return Result(ok, t);
};
auto ReadQuadOp = [](CStreamReader& r) {
    PlayQuad q{{7, 7, 7, 7}};
    bool ok = r.ReadQuad(q);
    return Result(ok, q);
};
auto ReadBlockOp = [](CStreamReader& r) {
    PlayBlock b;
    std::memset(b.bytes, 0xEE, sizeof b.bytes);
    bool ok = r.ReadBlock(b);
    return Result(ok, b);
};
auto ReadPlayRequestOp = [](CStreamReader& r) {
    PlayRequest q;
    q.value0 = kInt;
    q.itemSign = kSign;
    q.itemText3[511] = 'k';
    bool ok = r.ReadPlayRequest(q);
    return Result(ok, q);
};
std::function<std::string(CStreamReader&)> ReadRawOp(int n) {
    return [n](CStreamReader& r) {
        char out[4] = {'\xEE', '\xEE', '\xEE', '\xEE'};
        bool ok = r.ReadRaw(out, n);
        return std::string(ok ? "true " : "false ") + Hex(out, 4);
    };
}
auto ReadIntsOp = [](CStreamReader& r) {
    int a = kInt, b = kInt, c = kInt;
    bool ok = r.ReadInts(a, b, c);
    return Result(ok, a, b, c);
};
auto ReadIntByteOp = [](CStreamReader& r) {
    int v = kInt;
    BYTE f = kByte;
    bool ok = r.ReadIntByte(v, f);
    return Result(ok, v, f);
};
auto ReadIntStringOp = [](CStreamReader& r) {
    int v = kInt;
    std::string t = kText;
    bool ok = r.ReadIntString(v, t);
    return Result(ok, v, t);
};
auto ReadSignIntOp = [](CStreamReader& r) {
    Sign s = kSign;
    int v = kInt;
    bool ok = r.ReadSignInt(s, v);
    return Result(ok, s, v);
};
auto ReadSignIntsOp = [](CStreamReader& r) {
    Sign s = kSign;
    int a = kInt, b = kInt, c = kInt;
    bool ok = r.ReadSignInts(s, a, b, c);
    return Result(ok, s, a, b, c);
};
auto ReadSignStringIntOp = [](CStreamReader& r) {
    Sign s = kSign;
    std::string t = kText;
    int v = kInt;
    bool ok = r.ReadSignStringInt(s, t, v);
    return Result(ok, s, t, v);
};
auto ReadSignSignStringOp = [](CStreamReader& r) {
    Sign s1 = kSign, s2 = kSign;
    std::string t = kText;
    bool ok = r.ReadSignSignString(s1, s2, t);
    return Result(ok, s1, s2, t);
};
auto ReadStartDownOp = [](CStreamReader& r) {
    Sign s = kSign;
    std::string t = kText;
    int i1 = kInt, i2 = kInt, i3 = kInt, tag = kInt;
    BYTE f = kByte;
    bool ok = r.ReadStartDown(s, t, i1, i2, i3, tag, f);
    return Result(ok, s, t, i1, i2, i3, tag, f);
};

std::string RequestBytes(size_t size) {
    std::string bytes(size, '\0');
    bytes[0] = 1;
    bytes[520] = 5;
    bytes[524] = 6;
    bytes[2591 < size ? 2591 : size - 1] = 'z';
    return bytes;
}

const std::string kSign12 = Bytes("01 00 00 00 02 00 00 00");

TEST(StreamReader, ShortInputs) {
    const ReadCase cases[] = {
        {"int: empty", "", ReadIntOp, "false 77", 0},
        {"int: truncated", Bytes("01 02 03"), ReadIntOp, "false 77", 3},
        {"int: exact", Bytes("FE FF FF FF"), ReadIntOp, "true -2", 0},
        {"int: longer", Bytes("78 56 34 12 AA"), ReadIntOp, "true 305419896", 1},
        {"byte: empty", "", ReadByteOp, "false 238", 0},
        {"byte: exact", Bytes("00"), ReadByteOp, "true 0", 0},
        {"sign: empty", "", ReadSignOp, "false 9/9", 0},
        {"sign: 3 bytes", Bytes("01 00 00"), ReadSignOp, "false 9/9", 3},
        {"sign: 4 bytes set the first value", Bytes("01 00 00 00"), ReadSignOp, "false 1/9", 0},
        {"sign: 7 bytes set the first value", Bytes("01 00 00 00 02 00 00"), ReadSignOp,
         "false 1/9", 3},
        {"sign: exact", Bytes("FF FF FF FF 00 00 00 80"), ReadSignOp, "true 4294967295/2147483648",
         0},
        {"string: empty", "", ReadStringOp, "false 'keep'", 0},
        {"string: missing terminator", Bytes("61 62 63"), ReadStringOp, "false 'keep'", 3},
        {"string: lone NUL", Bytes("00"), ReadStringOp, "true ''", 0},
        {"string: exact", Bytes("61 62 63 00"), ReadStringOp, "true 'abc'", 0},
        {"string: up to the first NUL", Bytes("61 00 62 00"), ReadStringOp, "true 'a'", 2},
        {"quad: truncated", Counting(15), ReadQuadOp, "false 7,7,7,7", 15},
        {"quad: exact", Bytes("01 00 00 00 02 00 00 00 03 00 00 00 FF FF FF FF"), ReadQuadOp,
         "true 1,2,3,-1", 0},
        {"block: truncated", Counting(55), ReadBlockOp, "false EE..EE", 55},
        {"block: exact", Counting(56), ReadBlockOp, "true 00..37", 0},
        {"request: truncated", RequestBytes(2591), ReadPlayRequestOp, "false 77 9/9 107", 2591},
        {"request: exact", RequestBytes(2592), ReadPlayRequestOp, "true 1 5/6 122", 0},
        {"raw: 0 of nothing", "", ReadRawOp(0), "true EE EE EE EE", 0},
        {"raw: oversized length", Bytes("01 02"), ReadRawOp(3), "false EE EE EE EE", 2},
        {"raw: negative length", Bytes("01 02"), ReadRawOp(-1), "false EE EE EE EE", 2},
        {"raw: exact", Bytes("01 02 03"), ReadRawOp(3), "true 01 02 03 EE", 0},
        {"ints: only the first", Bytes("01 00 00 00"), ReadIntsOp, "false 1 77 77", 0},
        {"ints: second truncated", Bytes("01 00 00 00 02 00"), ReadIntsOp, "false 1 77 77", 2},
        {"ints: exact", Bytes("01 00 00 00 02 00 00 00 03 00 00 00"), ReadIntsOp, "true 1 2 3", 0},
        {"int byte: no byte", Bytes("05 00 00 00"), ReadIntByteOp, "false 5 238", 0},
        {"int byte: exact", Bytes("05 00 00 00 01"), ReadIntByteOp, "true 5 1", 0},
        {"int string: missing terminator", Bytes("07 00 00 00 61 62"), ReadIntStringOp,
         "false 7 'keep'", 2},
        {"int string: empty text", Bytes("07 00 00 00 00"), ReadIntStringOp, "true 7 ''", 0},
        {"int string: exact", Bytes("07 00 00 00 61 62 63 00"), ReadIntStringOp, "true 7 'abc'", 0},
        {"sign int: partial sign", Bytes("01 00 00 00 02 00"), ReadSignIntOp, "false 1/9 77", 2},
        {"sign int: only the sign", kSign12, ReadSignIntOp, "false 1/2 77", 0},
        {"sign int: int truncated", kSign12 + Bytes("06 00 00"), ReadSignIntOp, "false 1/2 77", 3},
        {"sign int: exact", kSign12 + Bytes("06 00 00 00"), ReadSignIntOp, "true 1/2 6", 0},
        {"sign ints: third missing", kSign12 + Bytes("0A 00 00 00 14 00 00 00"), ReadSignIntsOp,
         "false 1/2 10 20 77", 0},
        {"sign ints: exact", kSign12 + Bytes("0A 00 00 00 14 00 00 00 1E 00 00 00"), ReadSignIntsOp,
         "true 1/2 10 20 30", 0},
        {"sign string int: missing terminator", kSign12 + Bytes("61 62"), ReadSignStringIntOp,
         "false 1/2 'keep' 77", 2},
        {"sign string int: int truncated", kSign12 + Bytes("61 00 05 00"), ReadSignStringIntOp,
         "false 1/2 'a' 77", 2},
        {"sign string int: exact", kSign12 + Bytes("61 00 05 00 00 00"), ReadSignStringIntOp,
         "true 1/2 'a' 5", 0},
        {"sign sign string: second missing", kSign12, ReadSignSignStringOp, "false 1/2 9/9 'keep'",
         0},
        {"sign sign string: missing terminator", kSign12 + Bytes("03 00 00 00 04 00 00 00 7A"),
         ReadSignSignStringOp, "false 1/2 3/4 'keep'", 1},
        {"sign sign string: exact", kSign12 + Bytes("03 00 00 00 04 00 00 00 00"),
         ReadSignSignStringOp, "true 1/2 3/4 ''", 0},
        {"start down: only the sign", kSign12, ReadStartDownOp, "false 1/2 'keep' 77 77 77 77 238",
         0},
        {"start down: ends after int 2", kSign12 + Bytes("00 0A 00 00 00 0B 00 00 00"),
         ReadStartDownOp, "false 1/2 '' 10 11 77 77 238", 0},
        {"start down: no flag",
         kSign12 + Bytes("75 00 01 00 00 00 02 00 00 00 03 00 00 00 04 00 00 00"), ReadStartDownOp,
         "false 1/2 'u' 1 2 3 4 238", 0},
        {"start down: longer",
         kSign12 + Bytes("75 00 01 00 00 00 02 00 00 00 03 00 00 00 04 00 00 00 01 FF"),
         ReadStartDownOp, "true 1/2 'u' 1 2 3 4 1", 1},
    };
    for (const ReadCase& c : cases) {
        // The payload is followed by bytes that are not part of it, zeros that would complete
        // any short field or string: a read that looks past the end shows.
        std::string buffer = c.input + std::string(16, '\0');
        CStreamReader reader;
        reader.Attach(buffer.data(), buffer.data() + c.input.size());
        EXPECT_EQ(c.read(reader), c.expected) << c.name;
        EXPECT_EQ(reader.GetRemaining(), c.remaining) << c.name;
    }
}

TEST(StreamReader, StringSearchStopsAtTheEndFarFromTheBase) {
    const std::string buffer = Bytes("01 00 00 00 02 00 00 00 61 62 | 00");
    CStreamReader reader;
    reader.Attach(buffer.data(), buffer.data() + buffer.size() - 1);
    int value = 0;
    ASSERT_TRUE(reader.ReadInt(value));
    ASSERT_TRUE(reader.ReadInt(value));
    std::string text = kText;
    EXPECT_FALSE(reader.ReadString(text));
    EXPECT_EQ(text, kText);
    BYTE byte = 0;
    ASSERT_TRUE(reader.ReadByte(byte));  // the cursor did not move
    EXPECT_EQ(byte, 'a');
}

TEST(StreamReader, ThreeBytesFailAnIntButGiveThreeBytes) {
    const std::string buffer = Bytes("0A 0B 0C");
    CStreamReader reader;
    reader.Attach(buffer.data(), buffer.data() + buffer.size());
    int value = kInt;
    EXPECT_FALSE(reader.ReadInt(value));
    BYTE bytes[3] = {};
    EXPECT_TRUE(reader.ReadByte(bytes[0]) && reader.ReadByte(bytes[1]) &&
                reader.ReadByte(bytes[2]));
    EXPECT_EQ(Hex(bytes, 3), "0A 0B 0C");
    EXPECT_FALSE(reader.ReadByte(bytes[0]));
}

TEST(StreamReader, BadRangesAreEmptyPayloads) {
    const std::string buffer = Bytes("01 00 00 00 00");
    struct {
        const char* name;
        const void* begin;
        const void* end;
    } ranges[] = {
        {"never attached", nullptr, nullptr},
        {"null begin", nullptr, buffer.data() + 4},
        {"end before begin", buffer.data() + 4, buffer.data()},
        {"begin equals end", buffer.data(), buffer.data()},
    };
    for (const auto& range : ranges) {
        CStreamReader reader;
        if (range.begin != nullptr || range.end != nullptr) {
            reader.Attach(range.begin, range.end);
        }
        EXPECT_EQ(reader.GetRemaining(), 0u) << range.name;
        int value = kInt;
        std::string text = kText;
        char raw = 0;
        EXPECT_FALSE(reader.ReadInt(value)) << range.name;
        EXPECT_FALSE(reader.ReadString(text)) << range.name;
        EXPECT_FALSE(reader.ReadRaw(&raw, 1)) << range.name;
        EXPECT_TRUE(reader.ReadRaw(&raw, 0)) << range.name;
        EXPECT_EQ(value, kInt);
        EXPECT_EQ(text, kText);
    }
}

// ---- One round trip of every composite ----

TEST(ByteStream, EveryCompositeRoundTrips) {
    PlayRequest request;
    request.itemNumber = 42;
    request.itemSign = Sign(0xDEADBEEFu, 7);
    std::strcpy(request.itemText1, "/music/a.wav");
    const PlayQuad quad{{-1, 0, 1, 0x7FFFFFFF}};
    const PlayBlock block = CountingBlock();

    CStreamWriter w;
    w.WriteCmdInts(1, 7, 8, 9);
    w.WriteCmdPlayRequest(3, request);
    w.WriteCmdByte(9, 1);
    w.WriteCmdQuad(11, quad);
    w.WriteCmdBlock(14, block);
    w.WriteCmdInt(7, -300);
    w.WriteStartDown(5, Sign(1, 2), "http://127.0.0.1/x", 10, 20, 30, 0x0BADF00D, 1);
    w.WriteCmdSign(8, Sign(3, 4));
    w.WriteCmdSignInt(6, Sign(5, 6), 66);
    w.WriteCmdIntByte(9, 123, 1);
    w.WriteCmdSignStringInt(1, Sign(7, 8), "progress", 50);
    w.WriteCmdSignInts(4, Sign(9, 10), 1, 2, 3);
    w.WriteCmdSignSignString(6, Sign(11, 12), Sign(13, 14), "second");
    w.WriteCmdSignPair(11, 15, 16, 17, 18, "changed");
    w.WriteIntString(99, "/cache/a");

    CStreamReader r;
    r.Attach(w.GetData(), w.GetData() + w.GetSize());
    int cmd = 0, a = 0, b = 0, c = 0, d = 0;
    BYTE flag = 0;
    Sign s1, s2;
    std::string text;

    ASSERT_TRUE(r.ReadInt(cmd) && r.ReadInts(a, b, c));
    EXPECT_EQ(Result(true, cmd, a, b, c), "true 1 7 8 9");
    PlayRequest readRequest;
    ASSERT_TRUE(r.ReadInt(cmd) && r.ReadPlayRequest(readRequest));
    EXPECT_EQ(cmd, 3);
    EXPECT_EQ(std::memcmp(&readRequest, &request, sizeof request), 0);
    ASSERT_TRUE(r.ReadInt(cmd) && r.ReadByte(flag));
    EXPECT_EQ(Result(true, cmd, flag), "true 9 1");
    PlayQuad readQuad;
    ASSERT_TRUE(r.ReadInt(cmd) && r.ReadQuad(readQuad));
    EXPECT_EQ(Result(true, cmd, readQuad), "true 11 -1,0,1,2147483647");
    PlayBlock readBlock;
    ASSERT_TRUE(r.ReadInt(cmd) && r.ReadBlock(readBlock));
    EXPECT_EQ(cmd, 14);
    EXPECT_EQ(std::memcmp(readBlock.bytes, block.bytes, sizeof block.bytes), 0);
    ASSERT_TRUE(r.ReadInt(cmd) && r.ReadInt(a));
    EXPECT_EQ(Result(true, cmd, a), "true 7 -300");
    int tag = 0;
    ASSERT_TRUE(r.ReadInt(cmd) && r.ReadStartDown(s1, text, a, b, c, tag, flag));
    EXPECT_EQ(Result(true, cmd, s1, text, a, b, c, tag, flag),
              "true 5 1/2 'http://127.0.0.1/x' 10 20 30 195948557 1");
    ASSERT_TRUE(r.ReadInt(cmd) && r.ReadSign(s1));
    EXPECT_EQ(Result(true, cmd, s1), "true 8 3/4");
    ASSERT_TRUE(r.ReadInt(cmd) && r.ReadSignInt(s1, a));
    EXPECT_EQ(Result(true, cmd, s1, a), "true 6 5/6 66");
    ASSERT_TRUE(r.ReadInt(cmd) && r.ReadIntByte(a, flag));
    EXPECT_EQ(Result(true, cmd, a, flag), "true 9 123 1");
    ASSERT_TRUE(r.ReadInt(cmd) && r.ReadSignStringInt(s1, text, a));
    EXPECT_EQ(Result(true, cmd, s1, text, a), "true 1 7/8 'progress' 50");
    ASSERT_TRUE(r.ReadInt(cmd) && r.ReadSignInts(s1, a, b, d));
    EXPECT_EQ(Result(true, cmd, s1, a, b, d), "true 4 9/10 1 2 3");
    ASSERT_TRUE(r.ReadInt(cmd) && r.ReadSignSignString(s1, s2, text));
    EXPECT_EQ(Result(true, cmd, s1, s2, text), "true 6 11/12 13/14 'second'");
    ASSERT_TRUE(r.ReadInt(cmd) && r.ReadSignSignString(s1, s2, text));
    EXPECT_EQ(Result(true, cmd, s1, s2, text), "true 11 15/16 17/18 'changed'");
    ASSERT_TRUE(r.ReadIntString(a, text));
    EXPECT_EQ(Result(true, a, text), "true 99 '/cache/a'");
    EXPECT_EQ(r.GetRemaining(), 0u);
}

}  // namespace
