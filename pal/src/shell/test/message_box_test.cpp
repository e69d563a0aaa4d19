// MessageBoxA headless: the box recorded and told on standard error, answered with its default
// button, or held open until answered while the thread's messages go on; and its failures.
#include <gtest/gtest.h>

#include "test/window_test_support.h"

namespace {

using paltest::TestClass;
using paltest::WindowTest;

// Lets boxes be answered at once again after each test.
class MessageBoxTest : public WindowTest {
protected:
    void TearDown() override { PalHoldMessageBoxes(FALSE); }
};

TEST_F(MessageBoxTest, ABoxIsAnsweredAtOnceWithItsDefaultButton) {
    struct Case {
        UINT type;
        int answer;
    };
    const Case cases[] = {
        {MB_OK, IDOK},
        {MB_OK | MB_ICONWARNING, IDOK},
        {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
        {MB_YESNO, IDYES},
        {MB_YESNO | MB_DEFBUTTON2, IDNO},
        {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, IDRETRY},
        {MB_RETRYCANCEL, IDRETRY},
        {MB_CANCELTRYCONTINUE | MB_DEFBUTTON3, IDCONTINUE},
        {MB_YESNO | MB_DEFBUTTON3, IDYES},  // no third button: the first
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        EXPECT_EQ(MessageBoxA(nullptr, "text", "caption", c.type), c.answer);
        PalMessageBox last = PalMessageBoxes().back();
        EXPECT_EQ(last.type, c.type);
        EXPECT_EQ(last.answer, c.answer);
    }
}

TEST_F(MessageBoxTest, TheBoxIsRecordedAndToldAsUtf8) {
    TestClass windowClass;
    HWND owner = windowClass.Create(WS_POPUP);
    const char* text = PalGbk("本机上的Flash版本过低，请更新至Flash10以上版本。");
    const char* caption = PalGbk("BrindoDJ提示");
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(owner, text, caption, MB_OK), IDOK);
    MessageBoxA(nullptr, "no caption", nullptr, MB_OK);
    std::string told = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(told.find("[BrindoDJ提示] 本机上的Flash版本过低，请更新至Flash10以上版本。\n"),
              std::string::npos)
        << told;
    EXPECT_NE(told.find("[错误] no caption\n"), std::string::npos) << told;
    std::vector<PalMessageBox> boxes = PalMessageBoxes();
    ASSERT_GE(boxes.size(), 2u);
    const PalMessageBox& box = boxes[boxes.size() - 2];
    EXPECT_EQ(box.owner, owner);
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, caption);
    EXPECT_EQ(box.threadId, GetCurrentThreadId());
    EXPECT_EQ(boxes.back().caption, PalGbk("错误"));
    EXPECT_EQ(boxes.back().id, box.id + 1);
    DestroyWindow(owner);
}

TEST_F(MessageBoxTest, Failures) {
    TestClass windowClass;
    HWND gone = windowClass.Create(WS_POPUP);
    DestroyWindow(gone);
    size_t before = PalMessageBoxes().size();
    struct Case {
        HWND owner;
        UINT type;
        DWORD error;
    };
    const Case cases[] = {
        {nullptr, 7, ERROR_INVALID_MSGBOX_STYLE},
        {nullptr, 0xF | MB_ICONERROR, ERROR_INVALID_MSGBOX_STYLE},
        {gone, MB_OK, ERROR_INVALID_WINDOW_HANDLE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        SetLastError(0);
        EXPECT_EQ(MessageBoxA(c.owner, "t", "c", c.type), 0);
        EXPECT_EQ(GetLastError(), c.error);
    }
    EXPECT_EQ(PalMessageBoxes().size(), before);  // no box was shown
    MessageBoxA(nullptr, "closed", "c", MB_OK);
    DWORD closed = PalMessageBoxes().back().id;
    for (DWORD id : {closed, closed + 100}) {
        SetLastError(0);
        EXPECT_FALSE(PalAnswerMessageBox(id, IDOK));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
}

// Answers the held box from a timer of the owner, which the box's loop dispatches.
struct TimerAnswer {
    static inline int button = 0;
    static inline BOOL ownerEnabled = TRUE;
    static inline HWND owner = nullptr;
    static inline BOOL wrongButton = TRUE;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        std::vector<PalMessageBox> boxes = PalMessageBoxes();
        if (boxes.empty() || boxes.back().answer != 0) {
            return;
        }
        ownerEnabled = IsWindowEnabled(owner);
        wrongButton = PalAnswerMessageBox(boxes.back().id, IDOK);  // not a button of MB_YESNO
        PalAnswerMessageBox(boxes.back().id, button);
    }
};

TEST_F(MessageBoxTest, AHeldBoxStaysOpenUntilAnsweredWhileMessagesGoOn) {
    TestClass windowClass;
    HWND owner = windowClass.Create(WS_POPUP);
    TimerAnswer::owner = owner;
    TimerAnswer::button = IDNO;
    PalHoldMessageBoxes(TRUE);
    SetTimer(owner, 1, USER_TIMER_MINIMUM, &TimerAnswer::Tick);
    EXPECT_EQ(MessageBoxA(owner, "question", "c", MB_YESNO), IDNO);
    KillTimer(owner, 1);
    EXPECT_FALSE(TimerAnswer::ownerEnabled);  // disabled while the box was open
    EXPECT_FALSE(TimerAnswer::wrongButton);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(PalMessageBoxes().back().answer, IDNO);
    // WM_QUIT ends a held box with its default button, and is posted again.
    PostQuitMessage(3);
    EXPECT_EQ(MessageBoxA(owner, "quit", "c", MB_YESNO | MB_DEFBUTTON2), IDNO);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);
    DestroyWindow(owner);
}

}  // namespace
