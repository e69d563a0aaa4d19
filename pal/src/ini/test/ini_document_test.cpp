#include "ini/ini_document.h"

#include "text/gbk_name.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>

namespace {

using namespace std::string_literals;
using pal::ini::DeleteKey;
using pal::ini::DeleteSection;
using pal::ini::FindValue;
using pal::ini::SetValue;

std::string Show(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c < 0x20 || c >= 0x7f) {
            char hex[8];
            std::snprintf(hex, sizeof(hex), "\\x%02x", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

TEST(IniDocument, FindValue) {
    struct Case {
        std::string text, section, key;
        std::optional<std::string> value;
    };
    const std::optional<std::string> none;
    const Case cases[] = {
        {"[Update]\nVersion=1.0\n", "update", "VERSION", "1.0"},
        {"[A]\n  key  =   value with  inner   \n", "A", "key", "value with  inner"},
        {"[A]\n\tkey\t=\tv\t\n", "A", "key", "v"},
        {"[A]\nk=\"q v\"\n", "A", "k", "q v"},
        {"[A]\nk='x'\n", "A", "k", "x"},
        {"[A]\nk=\"x'\n", "A", "k", "\"x'"},
        {"[A]\nk=\"\n", "A", "k", "\""},
        {"[A]\nk=\"\"\n", "A", "k", ""},
        {"[A]\nk= \" padded \" \n", "A", "k", " padded "},
        {"[A]\nk=\"\"x\"\"\n", "A", "k", "\"x\""},  // one pair only
        {"[A]\nk=\n", "A", "k", ""},
        {"[A]\nk=a=b\n", "A", "k", "a=b"},
        {"[A]\nmy key = v\n", "A", " my key ", "v"},
        {"[A]\nk=v\n", " A ", "k", "v"},
        {"[A]\nk=v\n", "A", "x", none},
        {"[A]\nk=v\n", "B", "k", none},
        {"k=v\n[A]\n", "A", "k", none},  // before any section
        {"k=v\n[A]\n", "", "k", none},
        {"[A]\nx=1\n[B]\nk=v\n", "A", "k", none},
        {"[A]\r\nk=v\r\n", "A", "k", "v"},
        {"[A]\rk=v\r", "A", "k", "v"},
        {"[A]\nk=v", "A", "k", "v"},
        {"[A\nk=v\n", "A", "k", "v"},  // a header without "]" runs to the line's end
        {"[A] junk\nk=v\n", "A", "k", "v"},
        {"  [ A ]  \nk=v\n", "A", "k", "v"},
        {"[A]\n;k=v\n", "A", ";k", none},  // comments hold no keys
        {"[A]\n;k=v\n", "A", "k", none},
        {"[A]\njunk\nk=v\n", "A", "k", "v"},
        {"[A]\njunk\nk=v\n", "A", "junk", none},
        {"[A]\nk=first\nK=second\n", "A", "k", "first"},
        {"[A]\nx=1\n[B]\n[a]\ny=2\n", "A", "y", "2"},  // sections of one name read as one
        {"[A]\nk=ab\0cd\n"s, "A", "k", "ab"},
        {"\0\xff\x81\n[A]\nk=v\n"s, "A", "k", "v"},
        {"\xEF\xBB\xBF[A]\nk=v\n", "A", "k", "v"},
        {"[\x81\x5D]\nk=v\n", "\x81\x5D", "k", "v"},  // "]" as a second byte ends nothing
        {"[A]\n\x81\x41=v\n", "A", "\x81\x61", none},
        {"[A]\nk=\xb2\xe2\xca\xd4\n", "A", "k", "\xb2\xe2\xca\xd4"},
        {"", "A", "k", none},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindValue(c.text, c.section, c.key), c.value)
            << Show(c.text) << " [" << c.section << "] " << c.key;
    }
}

TEST(IniDocument, SetValueChangesOnlyThatValue) {
    struct Case {
        std::string text, section, key, value, expected;
    };
    const Case cases[] = {
        {"[Update]\r\nVersion=1.0\r\nUpdateFile=x\r\n", "Update", "Version", "2.0",
         "[Update]\r\nVersion=2.0\r\nUpdateFile=x\r\n"},
        {"[A]\n  k = old  \n", "A", "k", "new", "[A]\n  k = new  \n"},
        {"[A]\nk=\"old\"\n", "A", "k", "new", "[A]\nk=new\n"},
        {"[A]\nk=\n", "A", "k", "v", "[A]\nk=v\n"},
        {"[A]\nk=old\n", "A", "k", "", "[A]\nk=\n"},
        {"[a]\nKEY=1\n", "A", "key", "2", "[a]\nKEY=2\n"},
        {"[A]\nx=1\n\n; about B\n[B]\ny=2\n", "A", "k", "v",
         "[A]\nx=1\nk=v\n\n; about B\n[B]\ny=2\n"},
        {"[A]\n\n[B]\n", "A", "k", "v", "[A]\nk=v\n\n[B]\n"},
        {"[A]", "A", "k", "v", "[A]\nk=v\n"},
        {"[A]\nx=1", "A", "k", "v", "[A]\nx=1\nk=v\n"},
        {"[A]\r\nx=1\r\n", "A", "k", "v", "[A]\r\nx=1\r\nk=v\r\n"},
        {"[A]\nx=1\r\n", "A", "k", "v", "[A]\nx=1\r\nk=v\n"},  // the first line's break
        {"[A]\nx=1\n", "B", "k", "v", "[A]\nx=1\n[B]\nk=v\n"},
        {"x", "B", "k", "v", "x\n[B]\nk=v\n"},
        {"[A]\r\nx=1", "B", "k", "v", "[A]\r\nx=1\r\n[B]\r\nk=v\r\n"},
        {"", "Update", "Version", "1.0.0.1", "[Update]\nVersion=1.0.0.1\n"},
        {"[A]\nx=1\n[B]\n[A]\nk=old\n", "A", "k", "new", "[A]\nx=1\n[B]\n[A]\nk=new\n"},
        {"[A]\nx=1\n[B]\n[A]\ny=2\n", "a", "k", "v", "[A]\nx=1\nk=v\n[B]\n[A]\ny=2\n"},
        {"junk\0\xff\n[A\nno equals\r\nk=old\rtail"s, "A", "k", "new",
         "junk\0\xff\n[A\nno equals\r\nk=new\rtail"s},
        {"\xEF\xBB\xBF[A]\nk=1\n", "A", "k", "2", "\xEF\xBB\xBF[A]\nk=2\n"},
        {"[A]\n;k=1\n", "A", "k", "2", "[A]\nk=2\n;k=1\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Show(SetValue(c.text, c.section, c.key, c.value)), Show(c.expected))
            << Show(c.text);
    }
}

TEST(IniDocument, DeleteKeyAndSection) {
    struct Case {
        std::string text, section;
        std::optional<std::string> key;  // none deletes the section
        std::string expected;
    };
    const Case cases[] = {
        {"[A]\nk=1\nx=2\nK=3\n[B]\nk=4\n", "A", "k", "[A]\nx=2\n[B]\nk=4\n"},
        {"[A]\nx=2\n", "A", "k", "[A]\nx=2\n"},
        {"[A]\nx=2", "A", "x", "[A]\n"},
        {"; top\n[A]\nk=1\n\n[B]\ny=2\n[a]\nz=3\n", "A", std::nullopt, "; top\n[B]\ny=2\n"},
        {"\xEF\xBB\xBF[A]\nk=1\n[B]\n", "A", std::nullopt, "\xEF\xBB\xBF[B]\n"},
        {"[B]\ny=2\n", "A", std::nullopt, "[B]\ny=2\n"},
    };
    for (const Case& c : cases) {
        std::string out =
            c.key ? DeleteKey(c.text, c.section, *c.key) : DeleteSection(c.text, c.section);
        EXPECT_EQ(Show(out), Show(c.expected)) << Show(c.text);
    }
}

// Random malformed texts: an edit reaches exactly its key or section, and every other lookup
// gives what it gave before.
TEST(IniDocument, EditsOfMalformedTextsTouchNothingElse) {
    const std::string tokens[] = {"[",  "]", "=",   "\r",   "\n",   "\r\n",  " ",
                                  "\t", ";", "\"",  "'",    "s",    "S",     "k",
                                  "K",  "x", "\0"s, "\xff", "\x81", "\x81]", "["};
    const std::string names[] = {"s", "S", "k", "x", "sk", ""};
    std::mt19937 random(20240131);
    for (int round = 0; round < 3000; ++round) {
        std::string text = round % 7 == 0 ? "\xEF\xBB\xBF" : "";
        int length = static_cast<int>(random() % 60);
        for (int i = 0; i < length; ++i) {
            text += tokens[random() % std::size(tokens)];
        }
        const std::string& section = names[random() % std::size(names)];
        const std::string& key = names[random() % std::size(names)];
        std::string set = SetValue(text, section, key, "v1");
        std::string removed = DeleteKey(text, section, key);
        std::string dropped = DeleteSection(text, section);
        ASSERT_EQ(FindValue(set, section, key), "v1") << Show(text);
        ASSERT_EQ(SetValue(set, section, key, "v1"), set) << Show(text);
        ASSERT_EQ(FindValue(removed, section, key), std::nullopt) << Show(text);
        for (const std::string& s : names) {
            for (const std::string& k : names) {
                auto before = FindValue(text, s, k);
                bool same = pal::fs::EqualNoCase(s, section);
                if (!same || !pal::fs::EqualNoCase(k, key)) {
                    ASSERT_EQ(FindValue(set, s, k), before) << Show(text) << " " << s << k;
                    ASSERT_EQ(FindValue(removed, s, k), before) << Show(text) << " " << s << k;
                }
                if (!same) {
                    ASSERT_EQ(FindValue(dropped, s, k), before) << Show(text) << " " << s << k;
                } else {
                    ASSERT_EQ(FindValue(dropped, s, k), std::nullopt) << Show(text);
                }
            }
        }
    }
}

}  // namespace
