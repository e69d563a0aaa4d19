// The stand-in main window on the installation's Flash control: its data exchange binds the
// control of template 102, its initialisation sizes the window, places the control and loads
// the local movie; without the control's registration the dialog is not made and its
// initialisation never runs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "appframe.h"
#include "program_globals.h"
#include "start_dlg.h"
#include "test_root.h"

namespace {

constexpr char kFlashEntry[] = "{D27CDB6E-AE6D-11CF-96B8-444553540000}=";

class CWatchedStartDlg : public CStartDlg {
public:
    CRect window, control;
    bool bound = false;

    BOOL OnInitDialog() override {
        BOOL result = CStartDlg::OnInitDialog();
        GetWindowRect(&window);
        m_flash.GetWindowRect(&control);
        ScreenToClient(m_hWnd, reinterpret_cast<POINT*>(&control.left));
        ScreenToClient(m_hWnd, reinterpret_cast<POINT*>(&control.right));
        bound = m_flash.m_pCtrlSite != nullptr;
        // Ends from the modal loop, once the dialog runs.
        PostMessage(WM_CLOSE);
        return result;
    }
};

class StartDlgTest : public ::testing::Test {
protected:
    void Register(const std::string& entries) {
        const std::string path = root_.Path() + "/components.ini";
        ASSERT_TRUE(brtest::WriteFile(path, "[CLSID]\n" + entries));
        setenv("PAL_COMPONENT_REGISTRY", path.c_str(), 1);
        AfxEnableControlContainer();
    }
    void TearDown() override {
        unsetenv("PAL_COMPONENT_REGISTRY");
        g_strSwfPath.clear();
    }
    brtest::ScopedTestRoot root_;
};

TEST_F(StartDlgTest, ItBindsTheControlPlacesItAndLoadsTheLocalMovie) {
    Register(std::string(kFlashEntry) + BR_BIN_DIR + "/Flash.dll\n");
    CWatchedStartDlg dlg;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(dlg.bound);
    EXPECT_EQ(dlg.window.Width(), 822);
    EXPECT_EQ(dlg.window.Height(), 621);
    EXPECT_EQ(dlg.control, CRect(4, 37, 818, 617));
    EXPECT_EQ(g_strSwfPath, std::string(BR_TEST_BIN_DIR) + "/loadingVer.swf")
        << "the movie beside the running program";
}

TEST_F(StartDlgTest, WithoutTheControlTheDialogIsNotMadeAndItsInitialisationNeverRuns) {
    Register("");
    CWatchedStartDlg dlg;
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_FALSE(dlg.bound);
    EXPECT_EQ(g_strSwfPath, "") << "OnInitDialog never ran";
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

}  // namespace
