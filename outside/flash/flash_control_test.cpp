// The component as a container meets it: created through the registry, its dispatch calls with
// their ids, kinds and types, its version from the configuration and its persisted state.
#include <gtest/gtest.h>

#include <vector>

#include "flash_installation.h"
#include "state_bytes.h"

namespace {

using namespace flashtest;

// {D27CDB6E-AE6D-11CF-96B8-444553540000}
constexpr CLSID kFlash = {
    0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

TEST(FlashRegistration, TheBuildRegistersTheLibraryOfTheInstallFolder) {
    const std::string registry = std::string(BR_BIN_DIR) + "/components.ini";
    setenv("PAL_COMPONENT_REGISTRY", registry.c_str(), 1);
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    IDispatch* control = nullptr;
    ASSERT_EQ(CoCreateInstance(kFlash, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(&control)),
              S_OK);
    IPalHostedControl* hosted = nullptr;
    EXPECT_EQ(control->QueryInterface(IID_IPalHostedControl, reinterpret_cast<void**>(&hosted)),
              S_OK);
    ASSERT_NE(hosted, nullptr);
    hosted->Release();
    void* other = nullptr;
    EXPECT_EQ(control->QueryInterface(IID_IClassFactory, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    control->Release();
    CoUninitialize();
    unsetenv("PAL_COMPONENT_REGISTRY");
}

TEST(FlashDispatch, EachCallHasItsIdKindAndTypes) {
    ScopedConfig config;
    ScopedControl control;
    ASSERT_EQ(control.created(), S_OK);
    IDispatch* d = control.Dispatch();
    const WORD put = DISPATCH_PROPERTYPUT, get = DISPATCH_PROPERTYGET, method = DISPATCH_METHOD;
    const struct {
        const char* name;
        DISPID id;
        WORD flags;
        std::vector<Arg> args;
        HRESULT expected;
        UINT argErr;  // 0xFFFFFFFF: not set
    } cases[] = {
        {"Movie put", 0x66, put, {Arg::Text("a.txt")}, S_OK, ~0u},
        {"ScaleMode put", 0x78, put, {Arg::Number(3)}, S_OK, ~0u},
        {"FlashVersion", 0x84, method, {}, S_OK, ~0u},
        {"BGColor put", 0x8C, put, {Arg::Text("0x00000000")}, S_OK, ~0u},
        {"Movie as a number", 0x66, put, {Arg::Number(1)}, DISP_E_TYPEMISMATCH, 0},
        {"ScaleMode as text", 0x78, put, {Arg::Text("3")}, DISP_E_TYPEMISMATCH, 0},
        {"BGColor as a number", 0x8C, put, {Arg::Number(0)}, DISP_E_TYPEMISMATCH, 0},
        {"SetReturnValue with a number", 0xC7, method, {Arg::Number(1)}, DISP_E_TYPEMISMATCH, 0},
        {"Movie put without a value", 0x66, put, {}, DISP_E_BADPARAMCOUNT, ~0u},
        {"ScaleMode put of two values",
         0x78,
         put,
         {Arg::Number(1), Arg::Number(2)},
         DISP_E_BADPARAMCOUNT,
         ~0u},
        {"FlashVersion with an argument",
         0x84,
         method,
         {Arg::Number(1)},
         DISP_E_BADPARAMCOUNT,
         ~0u},
        {"SetReturnValue without one", 0xC7, method, {}, DISP_E_BADPARAMCOUNT, ~0u},
        {"FlashVersion as a property put", 0x84, put, {Arg::Number(1)}, DISP_E_MEMBERNOTFOUND, ~0u},
        {"SetReturnValue as a property get", 0xC7, get, {}, DISP_E_MEMBERNOTFOUND, ~0u},
        {"Movie called as a method", 0x66, method, {Arg::Text("a")}, DISP_E_MEMBERNOTFOUND, ~0u},
        {"an id the control does not have", 0x67, method, {}, DISP_E_MEMBERNOTFOUND, ~0u},
        {"SetReturnValue outside a FlashCall",
         0xC7,
         method,
         {Arg::Text("<true/>")},
         DISP_E_EXCEPTION,
         ~0u},
        {"BGColor that is no colour", 0x8C, put, {Arg::Text("blue")}, DISP_E_EXCEPTION, ~0u},
    };
    for (const auto& c : cases) {
        std::vector<Arg> args = c.args;
        CallResult r = Call(d, c.id, c.flags, std::move(args));
        EXPECT_EQ(r.hr, c.expected) << c.name;
        EXPECT_EQ(r.argErr, c.argErr) << c.name;
        if (c.expected == DISP_E_EXCEPTION) {
            EXPECT_FALSE(r.description.empty()) << c.name;
        }
        if (c.id == 0x84 && c.expected == S_OK) {
            EXPECT_EQ(r.value.vt, VT_I4) << c.name;
        }
        if (c.flags == put && c.expected == S_OK) {
            EXPECT_EQ(r.value.vt, VT_EMPTY) << c.name;
        }
        VariantClear(&r.value);
    }
}

TEST(FlashDispatch, NamedArgumentsOtherThanThePutValueAndOtherInterfacesAreRefused) {
    ScopedConfig config;
    ScopedControl control;
    ASSERT_EQ(control.created(), S_OK);
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_I4;
    value.lVal = 3;
    DISPID named = 7;
    DISPPARAMS params{&value, &named, 1, 1};
    EXPECT_EQ(control.Dispatch()->Invoke(0x78, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr,
                                         nullptr, nullptr),
              DISP_E_PARAMNOTFOUND);
    named = DISPID_PROPERTYPUT;
    EXPECT_EQ(control.Dispatch()->Invoke(0x78, IID_IDispatch, 0, DISPATCH_PROPERTYPUT, &params,
                                         nullptr, nullptr, nullptr),
              DISP_E_UNKNOWNINTERFACE);
    EXPECT_EQ(control.Dispatch()->Invoke(0x78, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr,
                                         nullptr, nullptr),
              S_OK);
}

TEST(FlashDispatch, PropertiesReadBackWhatWasPut) {
    ScopedConfig config;
    ScopedControl control;
    ASSERT_EQ(control.created(), S_OK);
    IDispatch* d = control.Dispatch();
    PutText(d, 0x66, "/movies/中文.txt");
    PutText(d, 0x8C, "#336699");
    ASSERT_EQ(Call(d, 0x78, DISPATCH_PROPERTYPUT, {Arg::Number(3)}).hr, S_OK);
    CallResult movie = Call(d, 0x66, DISPATCH_PROPERTYGET);
    ASSERT_EQ(movie.value.vt, VT_BSTR);
    EXPECT_EQ(std::u16string(movie.value.bstrVal), u"/movies/中文.txt");
    CallResult colour = Call(d, 0x8C, DISPATCH_PROPERTYGET | DISPATCH_METHOD);
    ASSERT_EQ(colour.value.vt, VT_BSTR);
    EXPECT_EQ(std::u16string(colour.value.bstrVal), u"#336699");
    CallResult scale = Call(d, 0x78, DISPATCH_PROPERTYGET);
    ASSERT_EQ(scale.value.vt, VT_I4);
    EXPECT_EQ(scale.value.lVal, 3);
    VariantClear(&movie.value);
    VariantClear(&colour.value);
    // A failed put leaves the property as it was.
    EXPECT_EQ(Call(d, 0x8C, DISPATCH_PROPERTYPUT, {Arg::Text("0x12")}).hr, DISP_E_EXCEPTION);
    colour = Call(d, 0x8C, DISPATCH_PROPERTYGET);
    EXPECT_EQ(std::u16string(colour.value.bstrVal), u"#336699");
    VariantClear(&colour.value);
}

TEST(FlashVersion, ReportsTheVersionTheConfigurationNames) {
    const struct {
        const char* line;  // the [Flash] line, or none
        LONG expected;
    } cases[] = {
        {nullptr, (11 << 16) | 2},
        {"Version=10.0", 10 << 16},
        {"Version=9.0", 9 << 16},
        {"Version=11.7", (11 << 16) | 7},
        {"Version=eleven", (11 << 16) | 2},
        {"Version=10", (11 << 16) | 2},
        {"Version=70000.1", (11 << 16) | 2},
        {"Version=10.-1", (11 << 16) | 2},
    };
    for (const auto& c : cases) {
        ScopedConfig config(c.line == nullptr ? std::vector<std::string>{}
                                              : std::vector<std::string>{c.line});
        ScopedControl control;
        ASSERT_EQ(control.created(), S_OK);
        CallResult r = Call(control.Dispatch(), 0x84, DISPATCH_METHOD);
        EXPECT_EQ(r.hr, S_OK);
        EXPECT_EQ(r.value.lVal, c.expected) << (c.line ? c.line : "no line");
    }
}

TEST(FlashPersistedState, TheClientsStateSetsTheScaleAndABrokenOneIsRefused) {
    ScopedConfig config;
    ScopedControl control;
    ASSERT_EQ(control.created(), S_OK);
    ASSERT_EQ(Call(control.Dispatch(), 0x78, DISPATCH_PROPERTYPUT, {Arg::Number(2)}).hr, S_OK);

    std::vector<uint8_t> state = ClientState();
    std::vector<uint8_t> shortened(state.begin(), state.end() - 1);
    EXPECT_EQ(control.Hosted()->LoadState(shortened.data(), DWORD(shortened.size())), E_FAIL);
    EXPECT_EQ(control.Hosted()->LoadState(nullptr, 0), E_FAIL);
    EXPECT_EQ(Call(control.Dispatch(), 0x78, DISPATCH_PROPERTYGET).value.lVal, 2);

    EXPECT_EQ(control.Hosted()->LoadState(state.data(), DWORD(state.size())), S_OK);
    EXPECT_EQ(Call(control.Dispatch(), 0x78, DISPATCH_PROPERTYGET).value.lVal, 0);  // "ShowAll"
    ASSERT_FALSE(config.TranscriptLines().empty());
    EXPECT_NE(config.TranscriptLines()[0].find("persisted state not read"), std::string::npos);
}

}  // namespace
