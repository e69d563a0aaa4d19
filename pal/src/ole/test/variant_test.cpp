#include <gtest/gtest.h>

#include <string>

#include "windows.h"

namespace {

VARIANT Empty() {
    VARIANT x;
    VariantInit(&x);
    return x;
}
VARIANT Of(VARTYPE vt) {
    VARIANT x = Empty();
    x.vt = vt;
    return x;
}
VARIANT I4(LONG v) {
    VARIANT x = Of(VT_I4);
    x.lVal = v;
    return x;
}
VARIANT Bool(VARIANT_BOOL v) {
    VARIANT x = Of(VT_BOOL);
    x.boolVal = v;
    return x;
}
VARIANT Str(const char16_t* s) {
    VARIANT x = Of(VT_BSTR);
    x.bstrVal = SysAllocString(s);
    return x;
}

// A counted object, to see VariantClear and VariantCopy handle references.
struct Counted final : IUnknown {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    ULONG refs = 1;
};

TEST(VariantChangeType, ConvertsAmongTheAutomationTypes) {
    const struct {
        const char* name;
        VARIANT source;
        VARTYPE target;
        HRESULT hr;
        LONG number;           // for VT_I4 and VT_BOOL results
        const char16_t* text;  // for VT_BSTR results
    } cases[] = {
        {"i4 to text", I4(-1958), VT_BSTR, S_OK, 0, u"-1958"},
        {"text to i4", Str(u" 3 "), VT_I4, S_OK, 3, nullptr},
        {"text not a number", Str(u"3x"), VT_I4, DISP_E_TYPEMISMATCH, 0, nullptr},
        {"text too large", Str(u"4294967296"), VT_I4, DISP_E_TYPEMISMATCH, 0, nullptr},
        {"empty text to i4", Str(u""), VT_I4, DISP_E_TYPEMISMATCH, 0, nullptr},
        {"bool to i4", Bool(VARIANT_TRUE), VT_I4, S_OK, -1, nullptr},
        {"bool to text", Bool(VARIANT_TRUE), VT_BSTR, S_OK, 0, u"-1"},
        {"i4 to bool", I4(5), VT_BOOL, S_OK, VARIANT_TRUE, nullptr},
        {"zero to bool", I4(0), VT_BOOL, S_OK, VARIANT_FALSE, nullptr},
        {"True to bool", Str(u"True"), VT_BOOL, S_OK, VARIANT_TRUE, nullptr},
        {"False to bool", Str(u"False"), VT_BOOL, S_OK, VARIANT_FALSE, nullptr},
        {"empty to i4", Empty(), VT_I4, S_OK, 0, nullptr},
        {"empty to text", Empty(), VT_BSTR, S_OK, 0, u""},
        {"text to text", Str(u"same"), VT_BSTR, S_OK, 0, u"same"},
        {"unknown target", I4(1), VT_UI4, DISP_E_BADVARTYPE, 0, nullptr},
    };
    for (auto c : cases) {
        VARIANT out;
        VariantInit(&out);
        EXPECT_EQ(VariantChangeType(&out, &c.source, 0, c.target), c.hr) << c.name;
        if (c.hr == S_OK) {
            EXPECT_EQ(out.vt, c.target) << c.name;
            if (c.target == VT_I4) {
                EXPECT_EQ(out.lVal, c.number) << c.name;
            }
            if (c.target == VT_BOOL) {
                EXPECT_EQ(out.boolVal, c.number) << c.name;
            }
            if (c.target == VT_BSTR) {
                EXPECT_EQ(std::u16string(out.bstrVal), c.text) << c.name;
            }
        } else {
            EXPECT_EQ(out.vt, VT_EMPTY) << c.name;
        }
        VariantClear(&out);
        VariantClear(&c.source);
    }
}

TEST(VariantChangeType, ConvertsInPlace) {
    VARIANT v = Str(u"42");
    ASSERT_EQ(VariantChangeType(&v, &v, 0, VT_I4), S_OK);
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, 42);
}

TEST(VariantClear, ReleasesWhatTheVariantOwns) {
    Counted object;
    VARIANT v = Empty();
    v.vt = VT_UNKNOWN;
    v.punkVal = &object;
    object.AddRef();
    VARIANT copy = Empty();
    ASSERT_EQ(VariantCopy(&copy, &v), S_OK);
    EXPECT_EQ(object.refs, 3u);
    EXPECT_EQ(VariantClear(&copy), S_OK);
    EXPECT_EQ(VariantClear(&v), S_OK);
    EXPECT_EQ(object.refs, 1u);
    EXPECT_EQ(v.vt, VT_EMPTY);

    VARIANT bad = Empty();
    bad.vt = 0x77;
    EXPECT_EQ(VariantClear(&bad), DISP_E_BADVARTYPE);
    EXPECT_EQ(bad.vt, 0x77);
}

TEST(VariantCopy, CopiesTextIntoItsOwnString) {
    VARIANT source = Str(u"abc");
    VARIANT copy = I4(1);
    ASSERT_EQ(VariantCopy(&copy, &source), S_OK);
    ASSERT_EQ(copy.vt, VT_BSTR);
    EXPECT_NE(copy.bstrVal, source.bstrVal);
    VariantClear(&source);
    EXPECT_EQ(std::u16string(copy.bstrVal), u"abc");
    EXPECT_EQ(SysStringLen(copy.bstrVal), 3u);
    VariantClear(&copy);
}

}  // namespace
