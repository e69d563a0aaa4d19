#include "text/gbk_name.h"

#include <gtest/gtest.h>

namespace {

using pal::fs::EqualNoCase;
using pal::fs::FindChar;
using pal::fs::MatchWildcard;

// "\x81\x41" and "\x81\x61" are two different GBK characters whose second bytes are "A" and "a";
// "\x81\x5D" has "]" as its second byte.
TEST(GbkName, EqualNoCase) {
    struct Case {
        std::string a, b;
        bool equal;
    };
    const Case cases[] = {
        {"Update", "UPDATE", true},
        {"update", "Update", true},
        {"Version", "Versio", false},
        {"", "", true},
        {"a\x81\x41", "A\x81\x41", true},
        {"\x81\x41", "\x81\x61", false},  // second bytes are not letters to fold
        {"[x]", "[X]", true},
        {"ab\x81", "AB\x81", true},  // a lead byte at the end stands alone
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EqualNoCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
    }
}

TEST(GbkName, FindCharSkipsSecondBytes) {
    EXPECT_EQ(FindChar("ab]c", ']'), 2u);
    EXPECT_EQ(FindChar("\x81\x5D]", ']'), 2u);
    EXPECT_EQ(FindChar("\x81\x5D", ']'), std::string_view::npos);
}

TEST(GbkName, MatchWildcard) {
    struct Case {
        std::string pattern, name;
        bool match;
    };
    const Case cases[] = {
        {"*", "anything", true},
        {"*", ".", true},
        {"*.txt", "notes.TXT", true},
        {"*.txt", "notes.txt.bak", false},
        {"NOTES.*", "notes.txt", true},
        {"notes.*", "notes", true},  // ".*" also matches no extension, as on Windows
        {"*.*", "README", true},
        {"?", "a", true},
        {"?", "ab", false},
        {"?", "", false},
        {"a?c", "abc", true},
        {"a?c", "ac", false},
        {"a*b*c", "axxbyyc", true},
        {"a*b*c", "axxbyy", false},
        {"*a", "banana", true},
        {"**", "", true},
        {"BRDJ_*.exe", "BRDJ_1.0.0.1.exe", true},
        {"?", "\x81\x41", true},  // one two-byte character
        {"??", "\x81\x41", false},
        {"\x81\x41*", "\x81\x61x", false},  // no folding of second bytes
        {"\x81\x41*", "\x81\x41x", true},
        {"x*", "y", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MatchWildcard(c.pattern, c.name), c.match) << c.pattern << " ~ " << c.name;
    }
}

}  // namespace
