// IsDialogMessageA: the dialog manager's keys; SendDlgItemMessageA.
#include "dialog/dialog_state.h"
#include "window/window_object.h"

namespace pal::dialog {
namespace {

bool IsPushButton(LRESULT code) {
    return code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON);
}

// Sends the command of a button: WM_COMMAND (id, BN_CLICKED) with its window, unless that is
// disabled.
void Command(HWND dlg, int id) {
    DWORD error = GetLastError();
    HWND control = GetDlgItem(dlg, id);
    SetLastError(error);
    if (control && !IsWindowEnabled(control)) {
        return;
    }
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
}

// Enter and Escape; false for a key the dialog manager leaves to the window.
bool DialogKey(HWND dlg, const MSG& msg, LRESULT code) {
    if (msg.message != WM_KEYDOWN) {
        return false;
    }
    switch (msg.wParam) {
        case VK_RETURN: {
            if (IsPushButton(code) && msg.hwnd != dlg) {
                Command(dlg, GetDlgCtrlID(msg.hwnd));
                return true;
            }
            LRESULT defId = SendMessageA(dlg, DM_GETDEFID, 0, 0);
            Command(dlg, HIWORD(defId) == DC_HASDEFID ? LOWORD(defId) : IDOK);
            return true;
        }
        case VK_ESCAPE:
            Command(dlg, IDCANCEL);
            return true;
        default:
            return false;
    }
}

}  // namespace
}  // namespace pal::dialog

// Differs from Windows: only Enter and Escape are the dialog manager's keys; Tab, the arrows and
// mnemonics are passed to the window like any other key.
BOOL IsDialogMessageA(HWND hDlg, LPMSG lpMsg) {
    auto dialog = pal::FindWindowObject(hDlg);
    if (!lpMsg || !dialog || dialog->threadId != GetCurrentThreadId() || !lpMsg->hwnd ||
        (lpMsg->hwnd != hDlg && !IsChild(hDlg, lpMsg->hwnd))) {
        return FALSE;
    }
    bool key =
        lpMsg->message == WM_KEYDOWN || lpMsg->message == WM_KEYUP || lpMsg->message == WM_CHAR;
    if (key) {
        LRESULT code = SendMessageA(lpMsg->hwnd, WM_GETDLGCODE, lpMsg->wParam,
                                    reinterpret_cast<LPARAM>(lpMsg));
        if (!(code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) &&
            pal::dialog::DialogKey(hDlg, *lpMsg, code)) {
            return TRUE;
        }
    }
    TranslateMessage(lpMsg);
    DispatchMessageA(lpMsg);
    return TRUE;
}

LRESULT SendDlgItemMessageA(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam) {
    HWND control = GetDlgItem(hDlg, nIDDlgItem);
    return control ? SendMessageA(control, Msg, wParam, lParam) : 0;
}
