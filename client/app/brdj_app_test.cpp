// CBRDJApp::InitInstance: a first instance runs the main window modally with the framework's
// main-window pointer and g_pMainDlg on it, then returns FALSE with neither left pointing at the
// gone window; a start while the mutex is held returns FALSE at once without a window.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "brdj_app.h"
#include "instance.h"
#include "play_state.h"
#include "brdj_dlg.h"
#include "test_root.h"

namespace {

struct Seen {
    bool window = false;
    bool mainWnd = false;
    bool mainDlg = false;
    int ticks = 0;
};
Seen g_seen;

// While the modal loop runs: looks at the main window and closes it.
void CALLBACK LookAndClose(HWND, UINT, UINT_PTR, DWORD) {
    ++g_seen.ticks;
    HWND window = FindWindowA(nullptr, "BrindoDJ");
    auto* dlg = dynamic_cast<CBRDJDlg*>(CWnd::FromHandlePermanent(window));
    if (!dlg)
        return;
    g_seen.window = true;
    g_seen.mainWnd = theApp.m_pMainWnd == dlg;
    g_seen.mainDlg = g_pMainDlg == static_cast<CPlayStateHolder*>(dlg);
    PostMessageA(window, WM_CLOSE, 0, 0);
}

class BrdjAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_seen = Seen{};
        const std::string path = root_.Path() + "/components.ini";
        ASSERT_TRUE(brtest::WriteFile(
            path, std::string("[CLSID]\n") +
                      "{D27CDB6E-AE6D-11CF-96B8-444553540000}=" + BR_BIN_DIR + "/Flash.dll\n"));
        setenv("PAL_COMPONENT_REGISTRY", path.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("PAL_COMPONENT_REGISTRY");
        if (g_hInstanceMutex)
            CloseHandle(g_hInstanceMutex);
        g_hInstanceMutex = nullptr;
    }
    brtest::ScopedTestRoot root_;
};

TEST_F(BrdjAppTest, AFirstInstanceRunsTheMainWindowModallyThenReturnsFalse) {
    UINT_PTR timer = SetTimer(nullptr, 0, 20, &LookAndClose);
    EXPECT_FALSE(theApp.InitInstance());
    KillTimer(nullptr, timer);
    EXPECT_TRUE(g_seen.window) << "the main window ran";
    EXPECT_TRUE(g_seen.mainWnd);
    EXPECT_TRUE(g_seen.mainDlg);
    EXPECT_EQ(theApp.m_pMainWnd, nullptr);
    EXPECT_EQ(g_pMainDlg, nullptr);
    EXPECT_NE(g_hInstanceMutex, nullptr) << "the first instance keeps its mutex";
}

TEST_F(BrdjAppTest, AStartWhileTheMutexIsHeldReturnsFalseAtOnce) {
    ASSERT_FALSE(IsAnotherInstanceRunning());
    HANDLE held = g_hInstanceMutex;
    UINT_PTR timer = SetTimer(nullptr, 0, 20, &LookAndClose);
    EXPECT_FALSE(theApp.InitInstance());
    KillTimer(nullptr, timer);
    EXPECT_EQ(g_seen.ticks, 0) << "no loop ran";
    EXPECT_FALSE(g_seen.window);
    EXPECT_EQ(g_hInstanceMutex, nullptr);
    CloseHandle(held);
}

}  // namespace
