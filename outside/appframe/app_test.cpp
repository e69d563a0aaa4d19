// The application object: InitInstance once; FALSE skips the message pump, TRUE runs it until
// WM_QUIT; ExitInstance's result is the exit code; the pump offers each message to the windows'
// PreTranslateMessage; a main window object that goes clears m_pMainWnd.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "appframe.h"
#include "test/appframe_fixture.h"

namespace {

using appframetest::AppframeTest;

constexpr UINT kSwallowed = WM_USER + 1;
constexpr UINT kPassed = WM_USER + 2;
constexpr UINT kThread = WM_USER + 3;

std::vector<std::string>& Seen() {
    static std::vector<std::string> seen;
    return seen;
}

// Records the messages that reach it; its PreTranslateMessage takes kSwallowed.
class CRecordingWnd : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message >= WM_USER)
            Seen().push_back(name + " got " + std::to_string(message - WM_USER));
        return CWnd::WindowProc(message, wParam, lParam);
    }
    BOOL PreTranslateMessage(MSG* pMsg) override {
        if (pMsg->message >= WM_USER)
            Seen().push_back(name + " pre " + std::to_string(pMsg->message - WM_USER));
        return pMsg->message == kSwallowed;
    }
    std::string name;
};

class CTestApp : public CWinAppEx {
public:
    explicit CTestApp(BOOL init) : CWinAppEx(TRUE), init_(init) {}
    BOOL InitInstance() override {
        ++initCalls;
        main.name = "main";
        child.name = "child";
        if (!main.CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr))
            return FALSE;
        CRect r(0, 0, 10, 10);
        if (!child.Create(nullptr, "", WS_VISIBLE, r, &main, 5))
            return FALSE;
        m_pMainWnd = &main;
        child.PostMessage(kSwallowed);
        child.PostMessage(kPassed);
        PostThreadMessageA(GetCurrentThreadId(), kThread, 0, 0);
        PostQuitMessage(7);
        return init_;
    }
    int ExitInstance() override {
        ++exitCalls;
        return CWinAppEx::ExitInstance();
    }
    int initCalls = 0;
    int exitCalls = 0;
    CRecordingWnd main;
    CRecordingWnd child;

private:
    BOOL init_;
};

TEST_F(AppframeTest, InitInstanceFalseSkipsThePumpAndEndsThroughExitInstance) {
    Seen().clear();
    CTestApp app(FALSE);
    EXPECT_EQ(AfxGetApp(), &app);
    EXPECT_TRUE(app.m_bResourceSmartUpdate);
    EXPECT_EQ(AfxWinMain(nullptr, nullptr, const_cast<LPSTR>(""), SW_SHOW), 0);
    EXPECT_EQ(app.initCalls, 1);
    EXPECT_EQ(app.exitCalls, 1);
    EXPECT_TRUE(Seen().empty()) << "no message was taken from the queue";
    EXPECT_EQ(app.main.m_hWnd, nullptr) << "the main window is destroyed on the exit path";
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, kThread, kThread, PM_REMOVE))
        << "the message posted to the thread is still queued";
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "and so is the quit";
}

TEST_F(AppframeTest, InitInstanceTrueRunsThePumpThroughPreTranslateMessageUntilQuit) {
    Seen().clear();
    CTestApp app(TRUE);
    EXPECT_EQ(AfxWinMain(nullptr, nullptr, const_cast<LPSTR>(""), SW_SHOW), 7);
    EXPECT_EQ(app.initCalls, 1);
    EXPECT_EQ(app.exitCalls, 1);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, kThread, kThread, PM_REMOVE));
    // The child's message is offered to the child, then to its parent, the main window; the
    // swallowed one is never dispatched.
    EXPECT_EQ(Seen(), (std::vector<std::string>{"child pre 1", "child pre 2", "main pre 2",
                                                "child got 2"}));
}

TEST_F(AppframeTest, TheMainWindowObjectGoingClearsTheMainWindowPointer) {
    CWinApp app;
    {
        CWnd wnd;
        app.m_pMainWnd = &wnd;
    }
    EXPECT_EQ(app.m_pMainWnd, nullptr);
}

TEST_F(AppframeTest, TheApplicationObjectIsKnownWhileItLives) {
    {
        CWinApp app("name");
        EXPECT_EQ(AfxGetApp(), &app);
        app.SetRegistryKey("key");
        EXPECT_STREQ(app.m_pszRegistryKey, "key");
    }
    EXPECT_EQ(AfxGetApp(), nullptr);
}

}  // namespace
