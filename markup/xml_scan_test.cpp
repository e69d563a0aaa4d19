#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "xml_test_util.h"

namespace {

using markup::EndOfRun;
using markup::NextToken;
using markup::ScanToChar;
using markup::SkipRunBytes;
using markup::SkipWhitespace;
using markup::Token;
using markup::TokenMatchesAt;

TEST(ScanToChar, StepsByCharacters) {
    const struct {
        const char* text;
        int from;
        char c;
        bool found;
        int reached;
    } cases[] = {
        {"ab<c", 0, '<', true, 2},
        {"ab<c", 2, '<', true, 2},
        {"abc", 0, '<', false, 3},
        {"", 0, '<', false, 0},
        // 0x81 0x5C is one character: its '\' is not found, the one after it is.
        {"\x81\\x\\", 0, '\\', true, 3},
        // A lead byte before the NUL is a character of one byte.
        {"x\x81", 0, '<', false, 2},
    };
    for (const auto& c : cases) {
        int offset = c.from;
        EXPECT_EQ(ScanToChar(c.text, offset, c.c), c.found) << c.text;
        EXPECT_EQ(offset, c.reached) << c.text;
    }
}

TEST(SkipWhitespace, StopsAtTheFirstOtherByte) {
    const struct {
        const char* text;
        bool more;
        int reached;
    } cases[] = {
        {" \t\r\nx", true, 4}, {"x", true, 0}, {"  ", false, 2}, {"", false, 0}, {"\v", true, 0},
    };
    for (const auto& c : cases) {
        int offset = 0;
        EXPECT_EQ(SkipWhitespace(c.text, offset), c.more) << c.text;
        EXPECT_EQ(offset, c.reached) << c.text;
    }
}

TEST(NextToken, ReadsNamesStringsAndDelimiters) {
    const struct {
        const char* text;
        int from;
        bool result;
        int first, last, next;
        bool quoted;
    } cases[] = {
        {"name=\"v\"", 0, true, 0, 3, 4, false},
        {"name=\"v\"", 4, true, 4, 4, 5, false},
        {"name=\"v\"", 5, true, 6, 6, 8, true},
        {"  'a b'x", 0, true, 3, 5, 7, true},
        {"\"\"", 0, true, 1, 0, 2, true},
        // An unclosed string runs to the end of the text.
        {"\"open", 0, true, 1, 4, 5, true},
        {"a\\b", 0, true, 0, 0, 1, false},
        {"/>", 0, true, 0, 0, 1, false},
        {"!--", 0, true, 0, 0, 1, false},
        {"[x]>", 0, true, 0, 2, 3, false},
        {"  \r\n", 0, false, 4, 4, 4, false},
        {"", 0, false, 0, 0, 0, false},
        // The second byte of a two-byte character is no delimiter.
        {"\x81\\b c", 0, true, 0, 2, 3, false},
        {"'\x81'x'", 0, true, 1, 3, 5, true},
    };
    for (const auto& c : cases) {
        Token token(c.text, c.from);
        token.quoted = !c.quoted;
        EXPECT_EQ(NextToken(token), c.result) << c.text << " from " << c.from;
        EXPECT_EQ(token.first, c.first) << c.text << " from " << c.from;
        EXPECT_EQ(token.last, c.last) << c.text << " from " << c.from;
        EXPECT_EQ(token.next, c.next) << c.text << " from " << c.from;
        EXPECT_EQ(token.quoted, c.quoted) << c.text << " from " << c.from;
    }
}

TEST(TokenMatches, NameRule) {
    const struct {
        const char* text;  // the token is the first one of the text
        const char* name;
        bool matches;
    } cases[] = {
        {"invoke", "invoke", true},
        {"invoke", "invoked", false},
        {"invoke", "invok", false},
        {"invoke>", "invoke", true},
        {"Invoke", "invoke", false},
        {"a", "a b", true},
        {"a", "a=", true},
        {"a", "a/", true},
        {"a", "a[x", true},
        {"a", "a-b", false},
        {"a", "", false},
        {"\x81\\", "\x81\\", true},
        {"\x81\\", "\x81/", false},
    };
    for (const auto& c : cases) {
        Token token(c.text, 0);
        ASSERT_TRUE(NextToken(token));
        EXPECT_EQ(token.Matches(c.name), c.matches) << c.text << " / " << c.name;
    }
}

TEST(TokenText, CopiesTheTokenClippedToTheText) {
    TestDoc doc;
    doc.ParseText("<abc x=\"v\">");
    Token token(doc.Text(), 1);
    ASSERT_TRUE(NextToken(token));
    EXPECT_EQ(doc.TokenText(token), "abc");
    token.first = 9;
    token.last = 40;
    EXPECT_EQ(doc.TokenText(token), "\">");
    token.first = 3;
    token.last = 2;
    EXPECT_EQ(doc.TokenText(token), "");
}

// The block scans pass over many bytes at once; at every offset of texts made of names,
// delimiters, quotes, control bytes and two-byte characters, near and far from the text's end,
// they stop where stepping by characters stops.
TEST(BlockScans, AgreeWithStepsByCharacter) {
    const char alphabet[] = {'a',  'b', '[',    '&',    '<',    '>',    '/',   '=',
                             '?',  '!', '\\',   ' ',    '\t',   '\r',   '\n',  '"',
                             '\'', ';', '\x01', '\x7F', '\x80', '\x81', '\xFF'};
    const std::vector<std::string> names = {"a",
                                            "ab",
                                            "a[",
                                            "ab[b",
                                            "a b",
                                            "a=",
                                            "a/",
                                            "\x81<",
                                            "\x81\\",
                                            std::string(16, 'a'),
                                            std::string(15, 'a')};
    std::mt19937 random(17);
    for (int round = 0; round < 3000; ++round) {
        std::string text(random() % 48, 'a');
        const int density = 1 + static_cast<int>(random() % 6);  // how many bytes are not 'a'
        for (char& c : text) {
            if (static_cast<int>(random() % 8) < density) {
                c = alphabet[random() % sizeof(alphabet)];
            }
        }
        const char* t = text.c_str();
        const int length = static_cast<int>(text.size());
        for (int from = 0; from <= length; ++from) {
            for (const char c : {'<', '>', '&'}) {
                int stepped = from;
                int skipped = from;
                const bool found = ScanToChar(t, stepped, c);
                ASSERT_EQ(ScanToChar(t, length, skipped, c), found) << text << " @" << from;
                ASSERT_EQ(skipped, stepped) << text << " @" << from << " " << c;
            }
            ASSERT_EQ(EndOfRun(t, SkipRunBytes(t, length, from)), EndOfRun(t, from))
                << text << " @" << from;
            std::vector<std::string> candidates = names;
            candidates.push_back(text.substr(from, random() % 20));
            for (const std::string& name : candidates) {
                Token token(t, from);
                const bool matches = NextToken(token) && token.Matches(name);
                ASSERT_EQ(TokenMatchesAt(t, length, from, name.c_str()), matches)
                    << text << " @" << from << " / " << name;
            }
        }
    }
}

}  // namespace
