// Control containment: a component created as a child control with its persisted state, the
// dispatch calls with typed arguments and results and the dispatch exception, the events
// reaching the container's event-sink map with typed parameters, and the creation's failures.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "appframe.h"
#include "test/appframe_fixture.h"

namespace {

constexpr char kTestControlId[] = "{5E0C1B7A-2D4F-4A1B-8C3E-9F6A7B8C9D01}";
constexpr UINT kCtrl = 1000;
// "中文" in GBK.
constexpr char kGbkText[] = "\xD6\xD0\xCE\xC4";

class CContainerWnd : public CWnd {
public:
    std::vector<std::string> events;
    void OnReady(long state) { events.push_back("ready " + std::to_string(state)); }
    void OnProgress(long percent) { events.push_back("progress " + std::to_string(percent)); }
    void OnCall(LPCSTR request) { events.push_back(std::string("call ") + request); }
    void OnPair(BOOL flag, LPCSTR text) {
        events.push_back("pair " + std::to_string(flag) + " " + text);
    }
    DECLARE_EVENTSINK_MAP()
};

BEGIN_EVENTSINK_MAP(CContainerWnd, CWnd)
ON_EVENT(CContainerWnd, kCtrl, -609, OnReady, VTS_I4)
ON_EVENT(CContainerWnd, kCtrl, 0x7A6, OnProgress, VTS_I4)
ON_EVENT(CContainerWnd, kCtrl, 0xC5, OnCall, VTS_BSTR)
ON_EVENT(CContainerWnd, kCtrl, 0x30, OnPair, VTS_BOOL VTS_BSTR)
END_EVENTSINK_MAP()

class HostedControlTest : public appframetest::AppframeTest {
protected:
    void SetUp() override {
        AfxEnableControlContainer();
        ASSERT_TRUE(container_.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300,
                                        nullptr, nullptr));
        ASSERT_TRUE(AfxClsidFromText(kTestControlId, &clsid_));
    }
    std::string Record(CWnd& control) {
        std::string record;
        control.InvokeHelper(0x10, DISPATCH_METHOD, VT_BSTR, &record, nullptr);
        return record;
    }

    appframetest::ScopedRegistry registry_{
        root_, std::string(kTestControlId) + "=" + appframetest::TestControlLibrary() + "\n" +
                   "{8A1F0C2E-5B3D-4E6F-9A7B-1C2D3E4F5061}=" + BR_TEST_BIN_DIR +
                   "/PalComponent.dll\n" +
                   "{11111111-2222-3333-4444-555555555555}=" + root_.Path() + "/Missing.dll\n"};
    CContainerWnd container_;
    CLSID clsid_{};
    const BYTE state_[4] = {0, 1, 2, 3};
};

TEST_F(HostedControlTest, TheControlIsCreatedWithItsStateAsAChildOfTheContainer) {
    CWnd control;
    ASSERT_TRUE(control.CreateControl(clsid_, "", WS_VISIBLE | WS_CHILD, CRect(4, 37, 818, 617),
                                      &container_, kCtrl, state_, sizeof state_));
    EXPECT_EQ(container_.GetDlgItem(kCtrl), &control);
    EXPECT_EQ(container_.GetControlContainer()->FindItem(kCtrl), control.m_pCtrlSite);
    CRect rect;
    control.GetClientRect(&rect);
    EXPECT_EQ(rect, CRect(0, 0, 814, 580));
    EXPECT_EQ(Record(control), "state 4 0;sink;") << "state first, then the sink, then the window";
}

TEST_F(HostedControlTest, DispatchCallsCarryTheirTypesAndResults) {
    CWnd control;
    ASSERT_TRUE(
        control.CreateControl(clsid_, "", WS_VISIBLE, CRect(0, 0, 10, 10), &container_, kCtrl));
    control.InvokeHelper(0x11, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr,
                         reinterpret_cast<const BYTE*>(VTS_I4), LONG(3));
    LONG number = 0;
    control.InvokeHelper(0x12, DISPATCH_METHOD, VT_I4, &number, nullptr);
    EXPECT_EQ(number, 3);
    std::string echoed;
    control.InvokeHelper(0x13, DISPATCH_METHOD, VT_BSTR, &echoed,
                         reinterpret_cast<const BYTE*>(VTS_BSTR), kGbkText);
    EXPECT_EQ(echoed, kGbkText) << "narrow text goes to the component as UTF-16 and back";
    control.InvokeHelper(0x13, DISPATCH_METHOD, VT_I4, &number,
                         reinterpret_cast<const BYTE*>(VTS_BSTR), "42");
    EXPECT_EQ(number, 42) << "the result is converted to the type asked for";
    BOOL flag = FALSE;
    control.InvokeHelper(0x13, DISPATCH_METHOD, VT_BOOL, &flag,
                         reinterpret_cast<const BYTE*>(VTS_BOOL), TRUE);
    EXPECT_TRUE(flag);
    // The component saw the text as UTF-16 "中文"; its record comes back as narrow text.
    EXPECT_EQ(Record(control),
              std::string("sink;0x11 put named I4:3;0x12 method;0x13 method BSTR:") + kGbkText +
                  ";0x13 method BSTR:42;0x13 method BOOL:-1;");
}

TEST_F(HostedControlTest, AFailedCallThrowsTheDispatchException) {
    CWnd control;
    ASSERT_TRUE(
        control.CreateControl(clsid_, "", WS_VISIBLE, CRect(0, 0, 10, 10), &container_, kCtrl));
    struct Case {
        const char* name;
        DISPID id;
        HRESULT code;
        std::string description;
    };
    const Case cases[] = {
        {"the component's exception", 0x14, DISP_E_EXCEPTION, "refused"},
        {"no such member", 0x199, DISP_E_MEMBERNOTFOUND, "dispatch call failed: 0x80020003"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            control.InvokeHelper(c.id, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr);
            ADD_FAILURE() << "no exception";
        } catch (const COleDispatchException& e) {
            EXPECT_EQ(e.m_scError, c.code);
            EXPECT_EQ(e.m_strDescription, c.description);
        }
    }
    LONG wrongType = 0;
    EXPECT_THROW(control.InvokeHelper(0x13, DISPATCH_METHOD, VT_I4, &wrongType,
                                      reinterpret_cast<const BYTE*>(VTS_BSTR), "not a number"),
                 COleDispatchException);
    CWnd noControl;
    EXPECT_THROW(noControl.InvokeHelper(0x12, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr),
                 COleDispatchException);
}

TEST_F(HostedControlTest, TheComponentsEventsReachTheSinkMap) {
    CWnd control;
    ASSERT_TRUE(
        control.CreateControl(clsid_, "", WS_VISIBLE, CRect(0, 0, 10, 10), &container_, kCtrl));
    LONG fired = -1;
    control.InvokeHelper(0x15, DISPATCH_METHOD, VT_I4, &fired,
                         reinterpret_cast<const BYTE*>(VTS_I4 VTS_BSTR), LONG(0xC5), kGbkText);
    EXPECT_EQ(fired, S_OK);
    EXPECT_EQ(container_.events, std::vector<std::string>{std::string("call ") + kGbkText});
}

// One event as the sink gets it: the arguments last first.
struct EventCase {
    const char* name;
    UINT ctrl;
    DISPID dispid;
    std::vector<VARIANT> argsFirstFirst;
    HRESULT result;
    std::vector<std::string> events;
};

VARIANT I4(LONG v) {
    VARIANT var;
    VariantInit(&var);
    var.vt = VT_I4;
    var.lVal = v;
    return var;
}
VARIANT Str(const char16_t* text) {
    VARIANT var;
    VariantInit(&var);
    var.vt = VT_BSTR;
    var.bstrVal = SysAllocString(text);
    return var;
}
VARIANT Bool(bool v) {
    VARIANT var;
    VariantInit(&var);
    var.vt = VT_BOOL;
    var.boolVal = v ? VARIANT_TRUE : VARIANT_FALSE;
    return var;
}

TEST_F(HostedControlTest, EventsAreMatchedByControlAndIdAndTheirArgumentsConverted) {
    CWnd control;
    ASSERT_TRUE(
        control.CreateControl(clsid_, "", WS_VISIBLE, CRect(0, 0, 10, 10), &container_, kCtrl));
    std::vector<EventCase> cases = {
        {"ready", kCtrl, -609, {I4(4)}, S_OK, {"ready 4"}},
        {"progress", kCtrl, 0x7A6, {I4(100)}, S_OK, {"progress 100"}},
        {"text to a number", kCtrl, 0x7A6, {Str(u"55")}, S_OK, {"progress 55"}},
        {"call", kCtrl, 0xC5, {Str(u"<invoke name=\"a\"/>")}, S_OK, {"call <invoke name=\"a\"/>"}},
        {"two in order", kCtrl, 0x30, {Bool(true), Str(u"x")}, S_OK, {"pair 1 x"}},
        {"not a number", kCtrl, 0x7A6, {Str(u"x")}, DISP_E_TYPEMISMATCH, {}},
        {"too many", kCtrl, 0x7A6, {I4(1), I4(2)}, DISP_E_BADPARAMCOUNT, {}},
        {"too few", kCtrl, 0x30, {Bool(true)}, DISP_E_BADPARAMCOUNT, {}},
        {"unmapped event", kCtrl, 0x77, {I4(1)}, DISP_E_MEMBERNOTFOUND, {}},
        {"other control", kCtrl + 1, 0x7A6, {I4(1)}, DISP_E_MEMBERNOTFOUND, {}},
    };
    for (EventCase& c : cases) {
        SCOPED_TRACE(c.name);
        container_.events.clear();
        std::vector<VARIANT> lastFirst(c.argsFirstFirst.rbegin(), c.argsFirstFirst.rend());
        DISPPARAMS params{lastFirst.data(), nullptr, UINT(lastFirst.size()), 0};
        EXPECT_EQ(container_.OnEvent(c.ctrl, c.dispid, &params), c.result);
        EXPECT_EQ(container_.events, c.events);
        for (VARIANT& v : c.argsFirstFirst) VariantClear(&v);
    }
}

TEST_F(HostedControlTest, AControlThatCannotBeCreatedLeavesNoWindow) {
    struct Case {
        const char* name;
        const char* clsid;
        const BYTE* state;
        HRESULT result;
    };
    const BYTE rejected[1] = {0xFF};
    const Case cases[] = {
        {"not registered", "{99999999-2222-3333-4444-555555555555}", nullptr, REGDB_E_CLASSNOTREG},
        {"library missing", "{11111111-2222-3333-4444-555555555555}", nullptr,
         HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND)},
        {"no hosted control", "{8A1F0C2E-5B3D-4E6F-9A7B-1C2D3E4F5061}", nullptr, E_NOINTERFACE},
        {"state rejected", kTestControlId, rejected, E_FAIL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CLSID clsid;
        ASSERT_TRUE(AfxClsidFromText(c.clsid, &clsid));
        COleControlSite* site = reinterpret_cast<COleControlSite*>(1);
        EXPECT_EQ(container_.GetControlContainer()->CreateControl(clsid, kCtrl, CRect(0, 0, 5, 5),
                                                                  c.state, c.state ? 1 : 0, &site),
                  c.result);
        EXPECT_EQ(site, nullptr);
        CWnd control;
        EXPECT_FALSE(control.CreateControl(clsid, "", WS_VISIBLE, CRect(0, 0, 5, 5), &container_,
                                           kCtrl, c.state, c.state ? 1 : 0));
        EXPECT_EQ(control.m_hWnd, nullptr);
        EXPECT_EQ(::GetDlgItem(container_.m_hWnd, kCtrl), nullptr);
        EXPECT_EQ(container_.GetControlContainer()->FindItem(kCtrl), nullptr);
    }
}

// A wrapper class whose own map takes the control's timer messages.
class CWrapper : public CWnd {
public:
    int timers = 0;
    void OnTimer(UINT_PTR) { ++timers; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CWrapper, CWnd)
ON_WM_TIMER()
END_MESSAGE_MAP()

TEST_F(HostedControlTest, DataExchangeBindsAWrapperToTheHostedControlOnce) {
    COleControlSite* site = nullptr;
    ASSERT_EQ(container_.GetControlContainer()->CreateControl(clsid_, kCtrl, CRect(0, 0, 5, 5),
                                                              nullptr, 0, &site),
              S_OK);
    CWrapper wrapper;
    CDataExchange dx(&container_, FALSE);
    DDX_Control(&dx, kCtrl, wrapper);
    EXPECT_FALSE(dx.m_bFailed);
    EXPECT_EQ(wrapper.m_hWnd, site->m_hWnd);
    EXPECT_EQ(wrapper.m_pCtrlSite, site);
    SendMessageA(site->m_hWnd, WM_TIMER, 1, 0);
    EXPECT_EQ(wrapper.timers, 1) << "the control's messages go through the wrapper";
    LONG number = -1;
    wrapper.InvokeHelper(0x12, DISPATCH_METHOD, VT_I4, &number, nullptr);
    EXPECT_EQ(number, 0) << "the dispatch calls reach the component";
    DDX_Control(&dx, kCtrl, wrapper);
    EXPECT_FALSE(dx.m_bFailed) << "a bound object stays bound";

    CWnd missing;
    DDX_Control(&dx, kCtrl + 1, missing);
    EXPECT_TRUE(dx.m_bFailed);
    EXPECT_EQ(missing.m_hWnd, nullptr);
}

TEST(ClsidTextTest, OnlyTheRegistryFormIsAClassId) {
    CLSID clsid;
    EXPECT_TRUE(AfxClsidFromText("{D27CDB6E-AE6D-11CF-96B8-444553540000}", &clsid));
    EXPECT_EQ(clsid.Data1, 0xD27CDB6Eu);
    for (const char* text : {"", "Button", "D27CDB6E-AE6D-11CF-96B8-444553540000",
                             "{D27CDB6E-AE6D-11CF-96B8-44455354000G}"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(AfxClsidFromText(text, &clsid));
    }
}

}  // namespace
