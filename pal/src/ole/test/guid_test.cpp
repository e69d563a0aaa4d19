#include <gtest/gtest.h>

#include <string>

#include "windows.h"

namespace {

TEST(CLSIDFromString, ReadsTheRegistryFormInEitherCase) {
    const CLSID expected = {
        0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
    for (const char16_t* text :
         {u"{D27CDB6E-AE6D-11CF-96B8-444553540000}", u"{d27cdb6e-ae6d-11cf-96b8-444553540000}"}) {
        CLSID id{};
        ASSERT_EQ(CLSIDFromString(text, &id), S_OK);
        EXPECT_TRUE(IsEqualGUID(id, expected));
    }
    CLSID id = expected;
    EXPECT_EQ(CLSIDFromString(nullptr, &id), S_OK);
    EXPECT_TRUE(IsEqualGUID(id, IID_NULL));
}

TEST(CLSIDFromString, RefusesOtherForms) {
    const char16_t* bad[] = {
        u"",
        u"D27CDB6E-AE6D-11CF-96B8-444553540000",     // no braces
        u"{D27CDB6E-AE6D-11CF-96B8-444553540000",    // no closing brace
        u"{D27CDB6E-AE6D-11CF-96B8-444553540000}x",  // trailing text
        u"{D27CDB6E-AE6D-11CF-96B8444553540000}",    // missing dash
        u"{D27CDB6G-AE6D-11CF-96B8-444553540000}",   // not hex
        u"{D27CDB6-AE6D-11CF-96B8-444553540000}",    // short group
        u"ShockwaveFlash.ShockwaveFlash",            // a program id
    };
    for (const char16_t* text : bad) {
        CLSID id = IID_IDispatch;
        EXPECT_EQ(CLSIDFromString(text, &id), CO_E_CLASSSTRING)
            << std::string(text, text + std::char_traits<char16_t>::length(text));
        EXPECT_TRUE(IsEqualGUID(id, IID_IDispatch));
    }
}

TEST(StringFromGUID2, WritesTheRegistryFormThatReadsBack) {
    OLECHAR text[39];
    ASSERT_EQ(StringFromGUID2(IID_IDispatch, text, 39), 39);
    EXPECT_EQ(std::u16string(text), u"{00020400-0000-0000-C000-000000000046}");
    CLSID back{};
    ASSERT_EQ(CLSIDFromString(text, &back), S_OK);
    EXPECT_TRUE(IsEqualGUID(back, IID_IDispatch));
    EXPECT_EQ(StringFromGUID2(IID_IDispatch, text, 38), 0);
}

}  // namespace
