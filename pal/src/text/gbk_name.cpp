#include "text/gbk_name.h"

#include "windows.h"

namespace pal::fs {
namespace {

char Fold(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// True when the characters at a[i] and b[j] (of lengths la and lb) are the same character.
bool SameChar(std::string_view a, size_t i, size_t la, std::string_view b, size_t j, size_t lb) {
    if (la != lb) {
        return false;
    }
    if (la == 1) {
        return Fold(a[i]) == Fold(b[j]);
    }
    return a[i] == b[j] && a[i + 1] == b[j + 1];
}

bool MatchPlain(std::string_view pattern, std::string_view name) {
    size_t p = 0;
    size_t n = 0;
    // Where the last "*" was seen, and the name position it currently stands for.
    size_t starP = std::string_view::npos;
    size_t starN = 0;
    while (n < name.size()) {
        size_t nl = CharLength(name, n);
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
            continue;
        }
        if (p < pattern.size()) {
            size_t pl = CharLength(pattern, p);
            if ((pattern[p] == '?' && pl == 1) || SameChar(pattern, p, pl, name, n, nl)) {
                p += pl;
                n += nl;
                continue;
            }
        }
        if (starP == std::string_view::npos) {
            return false;
        }
        // Let the last "*" take one more character of the name and try again after it.
        starN += CharLength(name, starN);
        n = starN;
        p = starP + 1;
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

}  // namespace

size_t CharLength(std::string_view text, size_t i) {
    return (IsDBCSLeadByte(static_cast<BYTE>(text[i])) && i + 1 < text.size()) ? 2 : 1;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() && j < b.size()) {
        size_t la = CharLength(a, i);
        size_t lb = CharLength(b, j);
        if (!SameChar(a, i, la, b, j, lb)) {
            return false;
        }
        i += la;
        j += lb;
    }
    return i == a.size() && j == b.size();
}

size_t FindChar(std::string_view text, char c) {
    for (size_t i = 0; i < text.size(); i += CharLength(text, i)) {
        if (text[i] == c) {
            return i;
        }
    }
    return std::string_view::npos;
}

bool MatchWildcard(std::string_view pattern, std::string_view name) {
    if (pattern == "*.*") {
        return true;
    }
    if (MatchPlain(pattern, name)) {
        return true;
    }
    return pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
           MatchPlain(pattern.substr(0, pattern.size() - 2), name);
}

}  // namespace pal::fs
