#include <gtest/gtest.h>

#include <string>

#include "windows.h"

namespace {

uint32_t Prefix(BSTR b) {
    uint32_t n;
    std::memcpy(&n, reinterpret_cast<const char*>(b) - 4, 4);
    return n;
}

TEST(SysAllocString, KeepsTheByteLengthBeforeTheTextAndAZeroAfterIt) {
    const struct {
        const char* name;
        BSTR bstr;
        UINT units;
        UINT bytes;
    } cases[] = {
        {"text", SysAllocString(u"abc"), 3, 6},
        {"empty", SysAllocString(u""), 0, 0},
        {"length cuts", SysAllocStringLen(u"abcdef", 2), 2, 4},
        {"embedded zero", SysAllocStringLen(u"a\0b", 3), 3, 6},
        {"no source gives zeros", SysAllocStringLen(nullptr, 4), 4, 8},
        {"odd byte length", SysAllocStringByteLen("xyz", 3), 1, 3},
    };
    for (const auto& c : cases) {
        ASSERT_NE(c.bstr, nullptr) << c.name;
        EXPECT_EQ(SysStringLen(c.bstr), c.units) << c.name;
        EXPECT_EQ(SysStringByteLen(c.bstr), c.bytes) << c.name;
        EXPECT_EQ(Prefix(c.bstr), c.bytes) << c.name;
        const char* bytes = reinterpret_cast<const char*>(c.bstr);
        EXPECT_EQ(bytes[c.bytes], 0) << c.name;
        EXPECT_EQ(bytes[c.bytes + 1], 0) << c.name;
        SysFreeString(c.bstr);
    }
}

TEST(SysAllocString, NullIsTheEmptyText) {
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    EXPECT_EQ(SysStringByteLen(nullptr), 0u);
    SysFreeString(nullptr);
    EXPECT_EQ(SysAllocStringLen(u"x", 0x40000000u), nullptr);
}

TEST(SysAllocString, CopiesTheText) {
    char16_t source[] = u"hello";
    BSTR b = SysAllocString(source);
    source[0] = u'J';
    EXPECT_EQ(std::u16string(b), u"hello");
    SysFreeString(b);
}

}  // namespace
