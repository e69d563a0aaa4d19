// The modal dialog and EndDialog.
#include "desktop/desktop_model.h"
#include "dialog/create_dialog.h"
#include "dialog/dialog_state.h"

namespace pal::dialog {
namespace {

// Runs the dialog's loop until it has ended (or is gone, or the thread is to quit).
INT_PTR RunModalLoop(HWND dlg, DialogState& state) {
    MSG msg;
    while (!state.Ended()) {
        if (!IsWindow(dlg)) {
            return -1;  // destroyed without EndDialog
        }
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return 0;
        }
        if (got == -1) {
            return -1;
        }
        if (!IsDialogMessageA(dlg, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return state.Result();
}

}  // namespace

INT_PTR RunModal(HINSTANCE instance, const DialogTemplate& dialog, HWND parent, DLGPROC procedure,
                 LPARAM param) {
    HWND dlg = CreateFromTemplate(instance, dialog, parent, procedure, param, true);
    if (!dlg) {
        return -1;
    }
    auto state = FindDialog(dlg);
    HWND owner = parent ? Desktop::Get().Root(parent) : nullptr;
    bool disabled = owner && IsWindowEnabled(owner);
    if (disabled) {
        EnableWindow(owner, FALSE);
    }
    INT_PTR result = state ? RunModalLoop(dlg, *state) : -1;
    if (disabled) {
        EnableWindow(owner, TRUE);
    }
    if (IsWindow(dlg)) {
        DestroyWindow(dlg);
    }
    return result;
}

}  // namespace pal::dialog

// Differs from Windows: the dialog is shown at once after WM_INITDIALOG, not when its queue first
// runs empty; a WM_QUIT ends the loop with the result 0.
INT_PTR DialogBoxIndirectParamA(HINSTANCE hInstance, LPCDLGTEMPLATEA hDialogTemplate,
                                HWND hWndParent, DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    auto dialog = pal::dialog::ReadIndirect(hDialogTemplate);
    if (!dialog) {
        return -1;
    }
    return pal::dialog::RunModal(hInstance, *dialog, hWndParent, lpDialogFunc, dwInitParam);
}

BOOL EndDialog(HWND hDlg, INT_PTR nResult) {
    auto state = pal::dialog::FindDialog(hDlg);
    if (!state) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    state->End(nResult);
    if (!state->modal && state->threadId == GetCurrentThreadId()) {
        ShowWindow(hDlg, SW_HIDE);
    }
    // Wakes the modal loop when it waits for a message (EndDialog from another thread).
    PostMessageA(hDlg, WM_NULL, 0, 0);
    return TRUE;
}
