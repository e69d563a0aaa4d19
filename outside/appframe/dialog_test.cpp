// CDialog: DoModal from a template built in code, with a hosted control bound by data exchange;
// its result and the messages that end it; the framework's loop giving each message to
// PreTranslateMessage; -1 before OnInitDialog when the dialog cannot be made; the owner
// disabled while it runs; the system menu.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "appframe.h"
#include "test/appframe_fixture.h"

namespace {

constexpr char kTestControlId[] = "{5E0C1B7A-2D4F-4A1B-8C3E-9F6A7B8C9D01}";
constexpr char kUnregisteredId[] = "{0BADC0DE-0000-4000-8000-000000000001}";
constexpr char kMissingLibraryId[] = "{11111111-2222-3333-4444-555555555555}";
constexpr UINT kCtrl = 1000;
constexpr UINT_PTR kEndTimer = 7;
constexpr UINT_PTR kThrowTimer = 8;  // its handler fails as an uncaught dispatch call does
constexpr int kTimerResult = 42;

std::vector<BYTE> Template(const std::string& controlClass, std::vector<BYTE> state = {0, 1},
                           DWORD style = WS_POPUP | WS_SYSMENU) {
    PalDialogDescription d;
    d.style = style;
    d.cx = 200;
    d.cy = 100;
    d.fontFace = "MS Shell Dlg";
    PalDialogItem label;
    label.className = "STATIC";
    label.text = "label";
    label.id = 10;
    label.cx = 40;
    label.cy = 8;
    d.items.push_back(label);
    if (!controlClass.empty()) {
        PalDialogItem control;
        control.className = controlClass;
        control.id = kCtrl;
        control.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
        control.x = 7;
        control.y = 20;
        control.cx = 180;
        control.cy = 70;
        control.data = std::move(state);
        d.items.push_back(control);
    }
    return PalBuildDialogTemplate(d);
}

// A dialog resource of the test program.
constexpr UINT kResourceTemplate = 4711;
constexpr UINT kMissingTemplate = 4712;
const std::vector<BYTE> kResourceBytes = Template(kTestControlId);
const PalResource kResources[] = {{RT_DIALOG, MAKEINTRESOURCEA(kResourceTemplate),
                                   kResourceBytes.data(), DWORD(kResourceBytes.size())}};
PAL_MODULE_RESOURCES(kResources);

class CTestDlg : public CDialog {
public:
    CTestDlg() = default;
    explicit CTestDlg(UINT nIDTemplate) : CDialog(nIDTemplate) {}
    std::function<void(CTestDlg&)> onInit;
    bool keepKeys = false;  // like a dialog that keeps Enter and Escape from the dialog manager
    int inits = 0;
    std::vector<UINT> preTranslated;
    std::vector<std::string> events;
    CWnd m_ctrl;

    BOOL OnInitDialog() override {
        ++inits;
        CDialog::OnInitDialog();
        if (onInit)
            onInit(*this);
        return TRUE;
    }
    void DoDataExchange(CDataExchange* pDX) override {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, kCtrl, m_ctrl);
    }
    BOOL PreTranslateMessage(MSG* pMsg) override {
        preTranslated.push_back(pMsg->message);
        if (keepKeys && pMsg->message == WM_KEYDOWN &&
            (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_ESCAPE))
            return FALSE;
        return CDialog::PreTranslateMessage(pMsg);
    }
    void OnTimer(UINT_PTR id) {
        if (id == kThrowTimer) {
            KillTimer(id);
            throw COleDispatchException(DISP_E_EXCEPTION, "refused");
        }
        if (id == kEndTimer) {
            KillTimer(id);
            EndDialog(kTimerResult);
        }
    }
    void OnProgress(long value) { events.push_back("progress " + std::to_string(value)); }
    std::string ControlRecord() {
        std::string record;
        m_ctrl.InvokeHelper(0x10, DISPATCH_METHOD, VT_BSTR, &record, nullptr);
        return record;
    }
    DECLARE_MESSAGE_MAP()
    DECLARE_EVENTSINK_MAP()
};

BEGIN_MESSAGE_MAP(CTestDlg, CDialog)
ON_WM_TIMER()
END_MESSAGE_MAP()

BEGIN_EVENTSINK_MAP(CTestDlg, CDialog)
ON_EVENT(CTestDlg, kCtrl, 0x7A6, OnProgress, VTS_I4)
END_EVENTSINK_MAP()

class CDialogTest : public appframetest::AppframeTest {
protected:
    void SetUp() override { AfxEnableControlContainer(); }
    appframetest::ScopedRegistry registry_{
        root_, std::string(kTestControlId) + "=" + appframetest::TestControlLibrary() + "\n" +
                   kMissingLibraryId + "=" + root_.Path() + "/Missing.dll\n"};
};

TEST_F(CDialogTest, DoModalBindsTheHostedControlRunsTheMapsAndReturnsEndDialogsResult) {
    std::vector<BYTE> bytes = Template(kTestControlId);
    CTestDlg dlg;
    ASSERT_TRUE(dlg.InitModalIndirect(reinterpret_cast<LPCDLGTEMPLATEA>(bytes.data())));
    HWND seen = nullptr;
    std::string record;
    dlg.onInit = [&](CTestDlg& d) {
        seen = d.m_hWnd;
        record = d.ControlRecord();
        // The control fires an event: it reaches the dialog's event-sink map.
        d.m_ctrl.InvokeHelper(0x15, DISPATCH_METHOD, VT_EMPTY, nullptr,
                              reinterpret_cast<const BYTE*>(VTS_I4 VTS_I4), LONG(0x7A6), LONG(100));
        d.SetTimer(kEndTimer, 10);
    };
    EXPECT_EQ(dlg.DoModal(), kTimerResult);
    EXPECT_EQ(dlg.inits, 1);
    ASSERT_NE(seen, nullptr);
    EXPECT_FALSE(IsWindow(seen)) << "the dialog's window goes when DoModal returns";
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_EQ(record, "state 2 0;sink;") << "bound with the template's state";
    EXPECT_EQ(dlg.events, std::vector<std::string>{"progress 100"});
}

struct EndingCase {
    const char* name;
    UINT message;
    WPARAM wParam;
    bool keepKeys;
    INT_PTR result;
};

TEST_F(CDialogTest, TheLoopOffersEachMessageToPreTranslateMessageBeforeTheDialogManager) {
    const EndingCase cases[] = {
        {"close", WM_CLOSE, 0, false, IDCANCEL},
        {"escape", WM_KEYDOWN, VK_ESCAPE, false, IDCANCEL},
        {"enter", WM_KEYDOWN, VK_RETURN, false, IDOK},
        {"escape kept", WM_KEYDOWN, VK_ESCAPE, true, kTimerResult},
        {"enter kept", WM_KEYDOWN, VK_RETURN, true, kTimerResult},
    };
    std::vector<BYTE> bytes = Template(kTestControlId);
    for (const EndingCase& c : cases) {
        SCOPED_TRACE(c.name);
        CTestDlg dlg;
        dlg.keepKeys = c.keepKeys;
        dlg.InitModalIndirect(reinterpret_cast<LPCDLGTEMPLATEA>(bytes.data()));
        dlg.onInit = [&](CTestDlg& d) {
            d.PostMessage(c.message, c.wParam, 0);
            d.SetTimer(kEndTimer, 50);
        };
        EXPECT_EQ(dlg.DoModal(), c.result);
        EXPECT_NE(std::find(dlg.preTranslated.begin(), dlg.preTranslated.end(), c.message),
                  dlg.preTranslated.end());
    }
}

TEST_F(CDialogTest, ADialogThatCannotBeMadeGivesMinusOneBeforeOnInitDialog) {
    const struct {
        const char* name;
        std::vector<BYTE> bytes;
    } cases[] = {
        {"class not registered", Template(kUnregisteredId)},
        {"library missing", Template(kMissingLibraryId)},
        {"state refused", Template(kTestControlId, {0xFF})},
        {"no class id text", Template("{not a class id}")},
        {"no template", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CTestDlg dlg;
        dlg.InitModalIndirect(c.bytes.empty() ? nullptr
                                              : reinterpret_cast<LPCDLGTEMPLATEA>(c.bytes.data()));
        EXPECT_EQ(dlg.DoModal(), -1);
        EXPECT_EQ(dlg.inits, 0);
        EXPECT_EQ(dlg.m_hWnd, nullptr);
        EXPECT_EQ(FindWindowA(nullptr, ""), nullptr) << "no window is left";
    }
}

TEST_F(CDialogTest, ATemplateIdNamesTheProgramsDialogResource) {
    const struct {
        UINT id;
        INT_PTR result;
        int inits;
    } cases[] = {{kResourceTemplate, kTimerResult, 1}, {kMissingTemplate, -1, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        CTestDlg dlg(c.id);
        std::string record;
        dlg.onInit = [&](CTestDlg& d) {
            record = d.ControlRecord();
            d.SetTimer(kEndTimer, 10);
        };
        EXPECT_EQ(dlg.DoModal(), c.result);
        EXPECT_EQ(dlg.inits, c.inits);
        EXPECT_EQ(record, c.inits ? "state 2 0;sink;" : "");
    }
}

TEST_F(CDialogTest, TheOwnerIsDisabledWhileTheDialogRuns) {
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                               nullptr));
    std::vector<BYTE> bytes = Template("");
    CTestDlg dlg;
    dlg.InitModalIndirect(reinterpret_cast<LPCDLGTEMPLATEA>(bytes.data()), &owner);
    BOOL enabledWhileRunning = TRUE;
    HWND ownerSeen = nullptr;
    dlg.onInit = [&](CTestDlg& d) {
        enabledWhileRunning = IsWindowEnabled(owner.m_hWnd);
        ownerSeen = GetWindow(d.m_hWnd, GW_OWNER);
        d.EndDialog(IDOK);
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_FALSE(enabledWhileRunning);
    EXPECT_EQ(ownerSeen, owner.m_hWnd);
    EXPECT_TRUE(IsWindowEnabled(owner.m_hWnd));
}

TEST_F(CDialogTest, AWmQuitEndsTheLoopAndIsPostedAgain) {
    std::vector<BYTE> bytes = Template("");
    CTestDlg dlg;
    dlg.InitModalIndirect(reinterpret_cast<LPCDLGTEMPLATEA>(bytes.data()));
    dlg.onInit = [](CTestDlg&) { PostQuitMessage(5); };
    EXPECT_EQ(dlg.DoModal(), -1);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 5u);
}

TEST_F(CDialogTest, AFailedCallLeftUncaughtInAHandlerIsReportedAndTheDialogRunsOn) {
    enum Where { kInitAttached, kInitAttaching, kMappedHandler };
    const struct {
        const char* name;
        Where where;
    } cases[] = {{"OnInitDialog of a dialog attached before it", kInitAttached},
                 {"OnInitDialog of a dialog attached by WM_INITDIALOG", kInitAttaching},
                 {"a handler of the message map", kMappedHandler}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PalDialogDescription d;
        d.style = WS_POPUP;
        d.cx = 100;
        d.cy = 50;
        if (c.where == kInitAttached) {
            PalDialogItem control;  // the factory attaches the dialog as it makes the control
            control.className = kTestControlId;
            control.id = kCtrl;
            control.cx = 50;
            control.cy = 20;
            d.items.push_back(control);
        }
        std::vector<BYTE> bytes = PalBuildDialogTemplate(d);
        CTestDlg dlg;
        dlg.InitModalIndirect(reinterpret_cast<LPCDLGTEMPLATEA>(bytes.data()));
        dlg.onInit = [&](CTestDlg& self) {
            self.SetTimer(kEndTimer, 50);
            if (c.where == kInitAttached)  // the test control refuses it: "refused"
                self.m_ctrl.InvokeHelper(0x14, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr);
            if (c.where == kInitAttaching)
                throw COleDispatchException(DISP_E_EXCEPTION, "refused");
            if (c.where == kMappedHandler)
                self.SetTimer(kThrowTimer, 10);
        };
        const size_t boxes = PalMessageBoxes().size();
        EXPECT_EQ(dlg.DoModal(), kTimerResult);
        std::vector<PalMessageBox> shown = PalMessageBoxes();
        ASSERT_EQ(shown.size(), boxes + 1);
        EXPECT_EQ(shown.back().text, "refused");
    }
}

TEST_F(CDialogTest, TheSystemMenuTakesAppendedItems) {
    const struct {
        DWORD style;
        bool hasMenu;
    } cases[] = {{WS_POPUP | WS_SYSMENU, true}, {WS_POPUP, false}};
    for (const auto& c : cases) {
        std::vector<BYTE> bytes = Template("", {}, c.style);
        CTestDlg dlg;
        dlg.InitModalIndirect(reinterpret_cast<LPCDLGTEMPLATEA>(bytes.data()));
        bool seenMenu = false;
        std::string text;
        dlg.onInit = [&](CTestDlg& d) {
            CMenu* menu = d.GetSystemMenu(FALSE);
            seenMenu = menu != nullptr;
            if (menu) {
                UINT before = menu->GetMenuItemCount();
                menu->AppendMenu(MF_SEPARATOR);
                menu->AppendMenu(MF_STRING, 0x10, "About");
                CMenu* again = d.GetSystemMenu(FALSE);
                EXPECT_EQ(again->GetMenuItemCount(), before + 2);
                char buffer[32] = "";
                GetMenuStringA(*again, 0x10, buffer, sizeof buffer, MF_BYCOMMAND);
                text = buffer;
            }
            d.EndDialog(IDOK);
        };
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(seenMenu, c.hasMenu);
        EXPECT_EQ(text, c.hasMenu ? "About" : "");
    }
}

}  // namespace
