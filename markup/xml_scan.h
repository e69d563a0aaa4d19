// Scanning primitives of the markup parser. A text is scanned from an offset the caller holds and
// every scan stops at the text's ending NUL. Scans that step by characters use the narrow code
// page's lead-byte rule: a lead byte followed by anything but the NUL starts a two-byte character,
// whose second byte is never looked at on its own.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "windows.h"

namespace markup {

// Bytes in the character at offset i: 2 for a lead byte followed by a byte other than NUL, else 1.
// Lead bytes of the double-byte code pages all lie above 0x80, so plain ASCII is decided inline.
inline int CharSize(const char* text, int i) {
    const auto b = static_cast<unsigned char>(text[i]);
    return (b >= 0x80 && IsDBCSLeadByte(b) && text[i + 1] != '\0') ? 2 : 1;
}

inline bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The bytes that end an unquoted token: the four blanks and < > = \ / ? !
constexpr bool IsDelimiter(char c) {
    switch (c) {
        case ' ':
        case '\t':
        case '\n':
        case '\r':
        case '<':
        case '>':
        case '=':
        case '\\':
        case '/':
        case '?':
        case '!':
            return true;
        default:
            return false;
    }
}

namespace detail {

// How a byte takes part in an unquoted token: 0 ends it (a delimiter or the NUL), 1 is an ASCII
// byte of it, 2 is a byte from 0x80 up, which may lead a two-byte character.
inline constexpr std::array<uint8_t, 256> kTokenByte = [] {
    std::array<uint8_t, 256> table{};
    for (int b = 0; b < 256; ++b) {
        table[b] = b >= 0x80 ? 2 : (b == 0 || IsDelimiter(static_cast<char>(b))) ? 0 : 1;
    }
    return table;
}();

}  // namespace detail

// Steps by characters from offset to the byte c or the ending NUL; true when c was found.
inline bool ScanToChar(const char* text, int& offset, char c) {
    int i = offset;
    while (text[i] != c && text[i] != '\0') {
        i += CharSize(text, i);
    }
    offset = i;
    return text[i] == c;
}

namespace detail {

constexpr uint64_t kLowBits = 0x0101010101010101ull;
constexpr uint64_t kHighBits = 0x8080808080808080ull;

// Nonzero when one of the eight bytes of v is c or a byte from 0x80 up. A flag can be set in
// error only above a byte that is flagged rightly, so the lowest flag always counts.
inline uint64_t StopsIn(uint64_t v, uint64_t cLanes) {
    const uint64_t x = v ^ cLanes;
    return ((x - kLowBits) & ~x & kHighBits) | (v & kHighBits);
}

}  // namespace detail

// Passes over whole blocks of bytes that hold neither c nor a byte from 0x80 up (so each of their
// bytes is a character of its own), starting blocks only before `limit` and reading only blocks
// that end at or before `length`. Returns the first byte that is c or from 0x80 up, or the offset
// where no further block was read: the caller steps on by characters from there.
inline int SkipPlainBytes(const char* text, int length, int limit, int i, char c) {
    static_assert(std::endian::native == std::endian::little);
#if defined(__SSE2__)
    const __m128i lanes = _mm_set1_epi8(c);
    while (i < limit && i + 16 <= length) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        // The sign bit of each lane: the byte is c (all ones) or from 0x80 up.
        const unsigned stops = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, lanes), v));
        if (stops != 0) {
            return i + std::countr_zero(stops);
        }
        i += 16;
    }
#endif
    const uint64_t cLanes = detail::kLowBits * static_cast<unsigned char>(c);
    while (i < limit && i + 8 <= length) {
        uint64_t v;
        std::memcpy(&v, text + i, 8);
        const uint64_t stops = detail::StopsIn(v, cLanes);
        if (stops != 0) {
            return i + (std::countr_zero(stops) >> 3);  // the lowest flagged byte is a true stop
        }
        i += 8;
    }
    return i;
}

// ScanToChar over a text whose ending NUL is at `length` (it holds no NUL before), with the same
// result: blocks of one-byte characters without c are passed over whole, the rest is stepped by
// characters. Nothing past the NUL is read.
inline bool ScanToChar(const char* text, int length, int& offset, char c) {
    int i = offset;
    if (text[i] == c) {
        return true;  // the usual case right after a tag
    }
    for (;;) {
        i = SkipPlainBytes(text, length, length, i, c);
        if (text[i] == c || text[i] == '\0') {
            offset = i;
            return text[i] == c;
        }
        i += CharSize(text, i);
    }
}

// Steps one byte at a time over blanks; true when it stopped on a byte other than the ending NUL.
inline bool SkipWhitespace(const char* text, int& offset) {
    int i = offset;
    while (IsBlank(text[i])) {
        ++i;
    }
    offset = i;
    return text[i] != '\0';
}

// The end of the run of characters that starts at i: the first delimiter or NUL at a character
// start from i on.
inline int EndOfRun(const char* text, int i) {
    for (;;) {
        const uint8_t kind = detail::kTokenByte[static_cast<unsigned char>(text[i])];
        if (kind == 0) {
            return i;
        }
        i += kind == 1 ? 1 : CharSize(text, i);
    }
}

#if defined(__SSE2__)
// A bit for each of the sixteen bytes at p that may end a run: a delimiter, NUL, another control
// byte, or a byte from 0x80 up. Every other byte is a one-byte character inside a run.
inline unsigned RunStops16(const char* p) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    // Signed, so that bytes from 0x80 up count as below too; '<' '=' '>' '?' under the mask 0xFC.
    const __m128i low = _mm_cmplt_epi8(v, _mm_set1_epi8(0x22));
    const __m128i slash = _mm_cmpeq_epi8(v, _mm_set1_epi8('/'));
    const __m128i backslash = _mm_cmpeq_epi8(v, _mm_set1_epi8('\\'));
    const __m128i angles = _mm_cmpeq_epi8(_mm_and_si128(v, _mm_set1_epi8(static_cast<char>(0xFC))),
                                          _mm_set1_epi8(0x3C));
    return _mm_movemask_epi8(
        _mm_or_si128(_mm_or_si128(low, slash), _mm_or_si128(backslash, angles)));
}
#endif

// Passes over whole blocks of bytes that are one-byte characters inside a run, reading only
// blocks that end at or before `length`. Returns the first byte that may end the run (EndOfRun
// decides from there), or where no further block was read.
inline int SkipRunBytes(const char* text, int length, int i) {
#if defined(__SSE2__)
    while (i + 16 <= length) {
        const unsigned stops = RunStops16(text + i);
        if (stops != 0) {
            return i + std::countr_zero(stops);
        }
        i += 16;
    }
#else
    (void)text;
    (void)length;
#endif
    return i;
}

// The scanner's state: the token found last and where the next scan starts.
struct Token {
    Token(const char* text, int next) : next(next), text(text) {}

    // The token equals the start of name, and name ends there or goes on with ' ', '=', '/' or
    // '['. Byte for byte and case-sensitive; a name shorter than the token never matches.
    bool Matches(std::string_view name) const {
        const int n = last - first + 1;
        if (n < 0 || static_cast<size_t>(n) > name.size()) {
            return false;
        }
        for (int i = 0; i < n; ++i) {
            if (name[i] != text[first + i]) {
                return false;
            }
        }
        if (static_cast<size_t>(n) == name.size()) {
            return true;
        }
        const char after = name[n];
        return after == ' ' || after == '=' || after == '/' || after == '[';
    }
    char FirstByte() const { return text[first]; }
    // An unquoted token that is the single byte c.
    bool Is(char c) const { return !quoted && first == last && text[first] == c; }

    int first = 0;     // first character (after the opening quote of a quoted token)
    int last = -1;     // last character (before the closing quote)
    int next = 0;      // where the next scan starts
    const char* text;  // the NUL-terminated text being scanned
    bool quoted = false;
};

// Reads the next token from token.next: a quoted string, a run of characters up to a delimiter,
// or a lone delimiter. False at the end of the text, with first, last and next on the NUL.
[[gnu::always_inline]] inline bool NextToken(Token& token) {
    const char* t = token.text;
    token.quoted = false;
    int i = token.next;
    if (!SkipWhitespace(t, i)) {
        token.first = token.last = token.next = i;
        return false;
    }
    const char c = t[i];
    if (c == '"' || c == '\'') {
        token.quoted = true;
        token.first = ++i;
        const bool closed = ScanToChar(t, i, c);
        token.last = i - 1;
        if (closed) {
            ++i;
        }
    } else {
        token.first = i;
        i = EndOfRun(t, i);
        if (i == token.first) {
            ++i;  // a lone delimiter is a token of its own
        }
        token.last = i - 1;
    }
    token.next = i;
    return true;
}

// Reads the first token from offset in a text of `length` bytes and tests it with the name-match
// rule (Token::Matches) against a NUL-terminated name. A run of plain ASCII bytes right at the
// offset is compared in place; anything else (a quoted string, blanks first) is read as a token.
inline bool TokenMatchesAt(const char* text, int length, int offset, const char* name) {
    const char* p = text + offset;
    if (p[0] == '"' || p[0] == '\'') {
        Token token(text, offset);
        return NextToken(token) && token.Matches(name);
    }
    int end = 0;  // the end of the run, when it is found to be all plain ASCII bytes
#if defined(__SSE2__)
    if (offset + 16 <= length) {
        end = std::countr_zero(RunStops16(p) | 0x10000u);
        if (end == 16 || detail::kTokenByte[static_cast<unsigned char>(p[end])] != 0) {
            end = 0;
        }
    }
#else
    (void)length;
#endif
    if (end > 0) {
        // p holds no NUL before end, so the name's own NUL stops the comparison in time.
        for (int k = 0; k < end; ++k) {
            if (name[k] != p[k]) {
                return false;
            }
        }
    } else {
        while (detail::kTokenByte[static_cast<unsigned char>(p[end])] == 1) {
            if (name[end] != p[end]) {
                return false;  // a different byte, or the name ends first
            }
            ++end;
        }
        if (end == 0 || detail::kTokenByte[static_cast<unsigned char>(p[end])] != 0) {
            Token token(text, offset);
            return NextToken(token) && token.Matches(name);
        }
    }
    const char after = name[end];
    return after == '\0' || after == ' ' || after == '=' || after == '/' || after == '[';
}

}  // namespace markup
