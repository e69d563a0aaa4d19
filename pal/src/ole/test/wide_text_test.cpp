#include <gtest/gtest.h>

#include <string>

#include "windows.h"

namespace {

TEST(MultiByteToWideChar, ConvertsGbkAndUtf8) {
    const struct {
        const char* name;
        UINT codePage;
        std::string narrow;  // without the terminating zero
        std::u16string wide;
    } cases[] = {
        {"ascii", CP_ACP, "abc", u"abc"},
        {"gbk", CP_ACP, "\xD6\xD0\xCE\xC4", u"中文"},
        {"gbk by number", CP_GBK, "\xD6\xD0", u"中"},
        {"utf-8", CP_UTF8, "\xE4\xB8\xAD\xEF\xBC\x9A", u"中："},
        {"utf-8 outside the basic plane", CP_UTF8, "\xF0\x9F\x8E\xB5", u"\U0001F3B5"},
    };
    for (const auto& c : cases) {
        char16_t wide[16];
        int n =
            MultiByteToWideChar(c.codePage, 0, c.narrow.c_str(), int(c.narrow.size()), wide, 16);
        EXPECT_EQ(std::u16string(wide, n), c.wide) << c.name;
        EXPECT_EQ(MultiByteToWideChar(c.codePage, 0, c.narrow.c_str(), -1, nullptr, 0),
                  int(c.wide.size() + 1))
            << c.name;
        char narrow[16];
        n = WideCharToMultiByte(c.codePage, 0, c.wide.c_str(), int(c.wide.size()), narrow, 16,
                                nullptr, nullptr);
        EXPECT_EQ(std::string(narrow, n), c.narrow) << c.name;
    }
}

TEST(MultiByteToWideChar, FailsWithTheWindowsErrors) {
    char16_t wide[2];
    const struct {
        const char* name;
        UINT codePage;
        const char* text;
        int size;
        int capacity;
        DWORD error;
    } cases[] = {
        {"unknown code page", 1252, "a", -1, 2, ERROR_INVALID_PARAMETER},
        {"zero input", CP_ACP, "a", 0, 2, ERROR_INVALID_PARAMETER},
        {"short buffer", CP_ACP, "abc", -1, 2, ERROR_INSUFFICIENT_BUFFER},
        {"invalid utf-8", CP_UTF8, "\xC3(", -1, 2, ERROR_NO_UNICODE_TRANSLATION},
        {"cut gbk pair", CP_ACP, "\xD6", 1, 2, ERROR_NO_UNICODE_TRANSLATION},
    };
    for (const auto& c : cases) {
        SetLastError(0);
        EXPECT_EQ(MultiByteToWideChar(c.codePage, 0, c.text, c.size, wide, c.capacity), 0)
            << c.name;
        EXPECT_EQ(GetLastError(), c.error) << c.name;
    }
}

TEST(WideCharToMultiByte, RefusesWhatTheCodePageCannotExpress) {
    char narrow[8];
    BOOL usedDefault = TRUE;
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"\U0001F3B5", -1, narrow, 8, nullptr, &usedDefault),
              0);
    EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
    EXPECT_FALSE(usedDefault);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"ab", -1, narrow, 2, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"ab", -1, nullptr, 0, nullptr, nullptr), 3);
}

}  // namespace
