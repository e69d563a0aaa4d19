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

// ScanToChar over a text whose ending NUL is at `length` (it holds no NUL before), with the same
// result: runs of eight bytes that hold neither c nor a byte from 0x80 up are one-byte characters
// and are passed over whole; the rest is stepped by characters. Nothing past the NUL is read.
inline bool ScanToChar(const char* text, int length, int& offset, char c) {
    static_assert(std::endian::native == std::endian::little);
    int i = offset;
    if (text[i] == c) {
        return true;  // the usual case right after a tag
    }
    const uint64_t cLanes = detail::kLowBits * static_cast<unsigned char>(c);
    for (;;) {
        if (i + 8 <= length) {
            uint64_t v;
            std::memcpy(&v, text + i, 8);
            const uint64_t stops = detail::StopsIn(v, cLanes);
            if (stops == 0) {
                i += 8;
                continue;
            }
            i += std::countr_zero(stops) >> 3;  // the lowest flagged byte is a true stop
        }
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
        for (;;) {
            const uint8_t kind = detail::kTokenByte[static_cast<unsigned char>(t[i])];
            if (kind == 0) {
                break;
            }
            i += kind == 1 ? 1 : CharSize(t, i);
        }
        if (i == token.first) {
            ++i;  // a lone delimiter is a token of its own
        }
        token.last = i - 1;
    }
    token.next = i;
    return true;
}

// Reads the first token from offset and tests it with the name-match rule (Token::Matches)
// against a NUL-terminated name. A token of plain ASCII bytes right at the offset is compared in
// place; anything else is read as a token first.
inline bool TokenMatchesAt(const char* text, int offset, const char* name) {
    const char* p = text + offset;
    int k = 0;
    while (detail::kTokenByte[static_cast<unsigned char>(p[k])] == 1) {
        if (name[k] != p[k]) {
            return false;  // a different byte, or the name ends first
        }
        ++k;
    }
    if (k > 0 && detail::kTokenByte[static_cast<unsigned char>(p[k])] == 0) {
        const char after = name[k];
        return after == '\0' || after == ' ' || after == '=' || after == '/' || after == '[';
    }
    Token token(text, offset);
    return NextToken(token) && token.Matches(name);
}

}  // namespace markup
