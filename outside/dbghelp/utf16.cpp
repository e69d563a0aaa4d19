#include "utf16.h"

namespace dbghelp {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one code point and advances past it; an invalid or truncated sequence, an overlong
// form or a surrogate consumes one byte and gives the replacement character.
char32_t Decode(const unsigned char*& p, const unsigned char* end) {
    unsigned char lead = *p;
    if (lead < 0x80) {
        ++p;
        return lead;
    }
    size_t extra = lead >= 0xF0 && lead <= 0xF4 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : 0;
    if (lead > 0xF4 || extra == 0 || static_cast<size_t>(end - p) <= extra) {
        ++p;
        return kReplacement;
    }
    char32_t value = lead & (0x3F >> extra);
    for (size_t i = 1; i <= extra; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            ++p;
            return kReplacement;
        }
        value = (value << 6) | (p[i] & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    if (value < kSmallest[extra] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        ++p;
        return kReplacement;
    }
    p += extra + 1;
    return value;
}

// Calls emit(unit) for each UTF-16 code unit.
template <class Emit>
void Encode(const char* text, size_t length, Emit emit) {
    auto* p = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* end = p + length;
    while (p < end) {
        char32_t c = Decode(p, end);
        if (c >= 0x10000) {
            c -= 0x10000;
            emit(static_cast<uint16_t>(0xD800 + (c >> 10)));
            emit(static_cast<uint16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            emit(static_cast<uint16_t>(c));
        }
    }
}

uint32_t Units(const char* text, size_t length) {
    uint32_t units = 0;
    Encode(text, length, [&](uint16_t) { ++units; });
    return units;
}

}  // namespace

uint32_t StringRecordSize(const char* text, size_t length) {
    return 4 + 2 * Units(text, length) + 2;
}

void PutString(DumpOutput* out, const char* text, size_t length) {
    out->U32(2 * Units(text, length));
    Encode(text, length, [&](uint16_t unit) { out->U16(unit); });
    out->U16(0);
}

}  // namespace dbghelp
