// Dialogs and other threads: EndDialog from another thread ends the modal loop; the dialog
// manager of one thread does not take another thread's dialog.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "dialog/test/dialog_test_support.h"
#include "wait_until.h"

namespace {

using paltest::AsTemplate;
using paltest::CurrentDialogReaction;
using paltest::DialogTest;
using paltest::OkCancelBox;
using paltest::RecordingDialogProc;

TEST_F(DialogTest, EndDialogFromAnotherThreadEndsTheModalLoop) {
    std::atomic<HWND> running{nullptr};
    CurrentDialogReaction() = [&](HWND dlg, UINT message, WPARAM,
                                  LPARAM) -> std::optional<INT_PTR> {
        if (message == WM_INITDIALOG) {
            running = dlg;
            return TRUE;
        }
        return std::nullopt;
    };
    std::thread ender([&] {
        ASSERT_TRUE(brtest::WaitUntil([&] { return running.load() != nullptr; }));
        EXPECT_TRUE(EndDialog(running.load(), 7));
    });
    std::vector<BYTE> bytes = PalBuildDialogTemplate(OkCancelBox());
    INT_PTR result =
        DialogBoxIndirectParamA(nullptr, AsTemplate(bytes), nullptr, &RecordingDialogProc, 0);
    ender.join();
    EXPECT_EQ(result, 7);
    EXPECT_FALSE(IsWindow(running.load()));
}

TEST_F(DialogTest, ADialogOfAnotherThreadIsNotThisThreadsToHandle) {
    std::vector<BYTE> bytes = PalBuildDialogTemplate(OkCancelBox());
    HWND dlg =
        CreateDialogIndirectParamA(nullptr, AsTemplate(bytes), nullptr, &RecordingDialogProc, 0);
    ASSERT_NE(dlg, nullptr);
    HWND ok = GetDlgItem(dlg, IDOK);
    BOOL handled = TRUE;
    DWORD mapped = 0;
    std::thread other([&] {
        MSG msg{ok, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
        handled = IsDialogMessageA(dlg, &msg);
        // Reading the dialog's controls is fine from any thread.
        mapped = GetDlgItem(dlg, IDCANCEL) != nullptr;
    });
    other.join();
    EXPECT_FALSE(handled);
    EXPECT_TRUE(mapped);
    EXPECT_TRUE(IsWindow(dlg));
    DestroyWindow(dlg);
}

}  // namespace
