// Runs every reader of the byte stream over arbitrary bytes. Beyond finding crashes and reads
// past the end (the sanitizers), it checks that a successful read consumed exactly the bytes
// that writing its outputs back produces, and that a failed read moved the cursor only where
// the reader allows it (ReadSign by 4 bytes, composites by the fields read before the failure).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "byte_stream.h"

namespace {

#define FUZZ_CHECK(cond)                                                                       \
    do {                                                                                       \
        if (!(cond)) {                                                                         \
            std::fprintf(stderr, "byte_stream_fuzz: %s failed at line %d\n", #cond, __LINE__); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)

enum class Fail { Whole, SignHalf, Any };

struct Op {
    // Reads with the reader; on success writes the outputs back into the writer.
    bool (*read)(CStreamReader& r, CStreamWriter& w);
    Fail onFailure;
};

const Op kOps[] = {
    {[](CStreamReader& r, CStreamWriter& w) {
         int v;
         return r.ReadInt(v) && (w.WriteInt(v), true);
     },
     Fail::Whole},
    {[](CStreamReader& r, CStreamWriter& w) {
         BYTE v;
         return r.ReadByte(v) && (w.WriteByte(v), true);
     },
     Fail::Whole},
    {[](CStreamReader& r, CStreamWriter& w) {
         Sign s;
         return r.ReadSign(s) && (w.WriteSign(s), true);
     },
     Fail::SignHalf},
    {[](CStreamReader& r, CStreamWriter& w) {
         std::string t;
         return r.ReadString(t) && (w.WriteString(t), true);
     },
     Fail::Whole},
    {[](CStreamReader& r, CStreamWriter& w) {
         PlayQuad q;
         return r.ReadQuad(q) && (w.WriteQuad(q), true);
     },
     Fail::Whole},
    {[](CStreamReader& r, CStreamWriter& w) {
         PlayBlock b;
         return r.ReadBlock(b) && (w.WriteBlock(b), true);
     },
     Fail::Whole},
    {[](CStreamReader& r, CStreamWriter& w) {
         PlayRequest q;
         return r.ReadPlayRequest(q) && (w.WritePlayRequest(q), true);
     },
     Fail::Whole},
    {[](CStreamReader& r, CStreamWriter& w) {
         char out[7];
         return r.ReadRaw(out, 7) && (w.WriteRaw(out, 7), true);
     },
     Fail::Whole},
    {[](CStreamReader& r, CStreamWriter&) {
         char out[1];
         return r.ReadRaw(out, -1);  // never succeeds
     },
     Fail::Whole},
    {[](CStreamReader& r, CStreamWriter& w) {
         int a, b, c;
         return r.ReadInts(a, b, c) && (w.WriteInt(a), w.WriteInt(b), w.WriteInt(c), true);
     },
     Fail::Any},
    {[](CStreamReader& r, CStreamWriter& w) {
         int v;
         BYTE f;
         return r.ReadIntByte(v, f) && (w.WriteInt(v), w.WriteByte(f), true);
     },
     Fail::Any},
    {[](CStreamReader& r, CStreamWriter& w) {
         int v;
         std::string t;
         return r.ReadIntString(v, t) && (w.WriteIntString(v, t.c_str()), true);
     },
     Fail::Any},
    {[](CStreamReader& r, CStreamWriter& w) {
         Sign s;
         int v;
         return r.ReadSignInt(s, v) && (w.WriteSign(s), w.WriteInt(v), true);
     },
     Fail::Any},
    {[](CStreamReader& r, CStreamWriter& w) {
         Sign s;
         int a, b, c;
         return r.ReadSignInts(s, a, b, c) &&
                (w.WriteSign(s), w.WriteInt(a), w.WriteInt(b), w.WriteInt(c), true);
     },
     Fail::Any},
    {[](CStreamReader& r, CStreamWriter& w) {
         Sign s;
         std::string t;
         int v;
         return r.ReadSignStringInt(s, t, v) &&
                (w.WriteSign(s), w.WriteString(t), w.WriteInt(v), true);
     },
     Fail::Any},
    {[](CStreamReader& r, CStreamWriter& w) {
         Sign s1, s2;
         std::string t;
         return r.ReadSignSignString(s1, s2, t) &&
                (w.WriteSign(s1), w.WriteSign(s2), w.WriteString(t), true);
     },
     Fail::Any},
    {[](CStreamReader& r, CStreamWriter& w) {
         Sign s;
         std::string t;
         int a, b, c, tag;
         BYTE f;
         if (!r.ReadStartDown(s, t, a, b, c, tag, f)) {
             return false;
         }
         // The composite writer adds the command; compare what follows it.
         CStreamWriter full;
         full.WriteStartDown(0, s, t.c_str(), a, b, c, tag, f);
         w.WriteRaw(full.GetData() + 4, full.GetSize() - 4);
         return true;
     },
     Fail::Any},
};
constexpr size_t kOpCount = sizeof(kOps) / sizeof(kOps[0]);

// One read at the reader's cursor, checked against the bytes it covers.
bool Step(const Op& op, CStreamReader& reader, const uint8_t* data, size_t size) {
    const uint32_t before = reader.GetRemaining();
    FUZZ_CHECK(before <= size);
    CStreamWriter written;
    const bool ok = op.read(reader, written);
    const uint32_t after = reader.GetRemaining();
    FUZZ_CHECK(after <= before);
    const size_t consumed = before - after;
    if (ok) {
        FUZZ_CHECK(consumed > 0);
        FUZZ_CHECK(consumed == static_cast<size_t>(written.GetSize()));
        FUZZ_CHECK(consumed == 0 ||
                   std::memcmp(written.GetData(), data + (size - before), consumed) == 0);
    } else if (op.onFailure == Fail::Whole) {
        FUZZ_CHECK(consumed == 0);
    } else if (op.onFailure == Fail::SignHalf) {
        FUZZ_CHECK(consumed == (before >= 4 ? 4u : 0u));
    }
    return ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Each reader alone, front to back, until it fails.
    for (const Op& op : kOps) {
        CStreamReader reader;
        reader.Attach(data, data + size);
        // Every successful read here consumes at least one byte, so this ends.
        while (Step(op, reader, data, size)) {
        }
    }
    // A mix: the first byte gives how many selector bytes follow; the rest is the payload.
    if (size == 0) {
        return 0;
    }
    const size_t count = data[0] % 32;
    if (size < 1 + count) {
        return 0;
    }
    const uint8_t* selectors = data + 1;
    const uint8_t* payload = data + 1 + count;
    const size_t payloadSize = size - 1 - count;
    CStreamReader reader;
    reader.Attach(payload, payload + payloadSize);
    for (size_t i = 0; i < count; ++i) {
        Step(kOps[selectors[i] % kOpCount], reader, payload, payloadSize);
    }
    return 0;
}
