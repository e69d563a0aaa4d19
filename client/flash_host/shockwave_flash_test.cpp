// CShockwaveflash on a stand-in control registered under the Flash class id: its run-time class
// record, its creation, the five calls' dispatch ids, kinds and types, and the right-button
// messages that never reach the control.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "appframe_fixture.h"
#include "shockwave_flash.h"

namespace {

using appframetest::PumpUntil;

constexpr UINT kCtrl = 1000;

// Records the mouse messages that reach the container itself.
class CContainer : public CWnd {
public:
    std::vector<UINT> mouse;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST)
            mouse.push_back(message);
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class ShockwaveFlashTest : public appframetest::AppframeTest {
protected:
    void SetUp() override {
        AfxEnableControlContainer();
        ASSERT_TRUE(container_.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 100, 100, 822, 621,
                                        nullptr, nullptr));
    }
    std::string Record(CWnd& control) {
        std::string record;
        control.InvokeHelper(0x10, DISPATCH_METHOD, VT_BSTR, &record, nullptr);
        return record;
    }
    // What reached the stand-in's own window procedure since the last call.
    std::string Clicks() {
        HMODULE library = LoadLibraryA(appframetest::TestControlLibrary().c_str());
        auto clicks = reinterpret_cast<const char* (*)()>(
            reinterpret_cast<void*>(GetProcAddress(library, "AppframeTestControlClicks")));
        return clicks ? clicks() : "no record";
    }

    appframetest::ScopedRegistry registry_{root_, "{D27CDB6E-AE6D-11CF-96B8-444553540000}=" +
                                                      appframetest::TestControlLibrary() + "\n"};
    CContainer container_;
};

TEST_F(ShockwaveFlashTest, ItsRunTimeClassCreatesItByName) {
    std::unique_ptr<CObject> made(CRuntimeClass::CreateObject("CShockwaveflash"));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->GetRuntimeClass(), RUNTIME_CLASS(CShockwaveflash));
    const CRuntimeClass* record = RUNTIME_CLASS(CShockwaveflash);
    EXPECT_STREQ(record->m_lpszClassName, "CShockwaveflash");
    EXPECT_EQ(record->m_wSchema, 0xFFFFu);
    EXPECT_EQ(record->m_pBaseClass, RUNTIME_CLASS(CWnd));
    CLSID expected;
    ASSERT_TRUE(AfxClsidFromText("{D27CDB6E-AE6D-11CF-96B8-444553540000}", &expected));
    EXPECT_TRUE(CShockwaveflash::GetClsid() == expected);
}

TEST_F(ShockwaveFlashTest, TheFiveCallsCarryTheirIdsKindsAndTypes) {
    CShockwaveflash flash;
    ASSERT_TRUE(flash.Create("ignored", "", WS_CHILD | WS_VISIBLE, CRect(4, 37, 818, 617),
                             &container_, kCtrl));
    EXPECT_EQ(container_.GetDlgItem(kCtrl), &flash);
    flash.SetMovie("/opt/brdj/loadingVer.swf");
    flash.SetScaleMode(3);
    flash.SetBGColor("0x00000000");
    flash.SetReturnValue("<number>42</number>");
    // The stand-in's version answer is the number its property 0x11 keeps.
    flash.InvokeHelper(0x11, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr,
                       reinterpret_cast<const BYTE*>(VTS_I4), LONG(0x000B0002));
    EXPECT_EQ(flash.FlashVersion(), 0x000B0002);
    EXPECT_EQ(Record(flash),
              "sink;"
              "0x66 put named BSTR:/opt/brdj/loadingVer.swf;"
              "0x78 put named I4:3;"
              "0x8C put named BSTR:0x00000000;"
              "0xC7 method BSTR:<number>42</number>;"
              "0x11 put named I4:720898;"
              "0x84 method;");
}

TEST_F(ShockwaveFlashTest, RightButtonMessagesNeverReachTheControlOrItsContainer) {
    struct Case {
        const char* name;
        bool wrapped;
        std::string clicks;
    };
    const Case cases[] = {
        {"the control's own handling without the wrapper", false, "rdown;rup;ldown;"},
        {"the wrapper swallows the right button", true, "ldown;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<CWnd> control(c.wrapped ? new CShockwaveflash : new CWnd);
        ASSERT_TRUE(control->CreateControl(CShockwaveflash::GetClsid(), "", WS_VISIBLE,
                                           CRect(4, 37, 818, 617), &container_, kCtrl));
        Clicks();
        container_.mouse.clear();
        // A right click on the movie, then a left press to know the input has been handled.
        PalInputButton(VK_RBUTTON, TRUE, 300, 300);
        PalInputButton(VK_RBUTTON, FALSE, 300, 300);
        PalInputButton(VK_LBUTTON, TRUE, 300, 300);
        PalInputButton(VK_LBUTTON, FALSE, 300, 300);
        std::string seen;
        EXPECT_TRUE(PumpUntil([&] {
            seen += Clicks();
            return seen.find("ldown;") != std::string::npos;
        }));
        EXPECT_EQ(seen, c.clicks);
        EXPECT_TRUE(container_.mouse.empty());
        control->DestroyWindow();
    }
}

}  // namespace
