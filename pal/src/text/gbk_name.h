// Names compared as Windows compares them in the ANSI code page: ASCII letters without regard to
// case, two-byte GBK characters as they are (their second byte may look like an ASCII letter,
// "[" or "]", and must not be taken for one).
#pragma once

#include <string_view>

namespace pal::fs {

// Length in bytes of the character that starts at text[i]: 2 for a GBK lead byte followed by
// another byte, else 1.
size_t CharLength(std::string_view text, size_t i);

// True when the two names are equal without regard to the case of ASCII letters.
bool EqualNoCase(std::string_view a, std::string_view b);

// Position of the first single-byte character c (never the second byte of a two-byte
// character), or npos.
size_t FindChar(std::string_view text, char c);

// Matches a name against a pattern of "*" (any characters) and "?" (one character), without
// regard to the case of ASCII letters. As on Windows, "*.*" matches every name and a pattern
// ending in ".*" also matches the name without that ending ("a.*" matches "a").
bool MatchWildcard(std::string_view pattern, std::string_view name);

}  // namespace pal::fs
