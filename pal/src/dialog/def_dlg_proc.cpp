// DefDlgProcA: the dialog procedure first, then the dialog's defaults.
#include "dialog/dialog_state.h"

namespace pal::dialog {
namespace {

// Messages whose result is the dialog procedure's return value itself; for the others a
// procedure's TRUE only says that it handled the message.
bool ResultIsReturnValue(UINT msg) {
    return msg == WM_INITDIALOG || msg == WM_QUERYDRAGICON || msg == WM_GETDLGCODE;
}

LRESULT DefaultId(const DialogState& state) {
    if (state.defaultId != 0) {
        return MAKELONG(state.defaultId, DC_HASDEFID);
    }
    for (HWND control : state.controls) {
        DWORD style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
        if (IsWindow(control) && (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
            return MAKELONG(GetDlgCtrlID(control), DC_HASDEFID);
        }
    }
    return 0;
}

LRESULT Close(HWND dlg) {
    DWORD error = GetLastError();
    HWND cancel = GetDlgItem(dlg, IDCANCEL);
    SetLastError(error);
    if (cancel && !IsWindowEnabled(cancel)) {
        return 0;
    }
    PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(cancel));
    return 0;
}

LRESULT Defaults(HWND dlg, DialogState& state, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CLOSE:
            return Close(dlg);
        case DM_GETDEFID:
            return DefaultId(state);
        case DM_SETDEFID:
            state.defaultId = static_cast<WORD>(wParam);
            return TRUE;
        case WM_SETFONT:
            state.font = reinterpret_cast<HFONT>(wParam);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(state.font);
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(dlg, focus)) {
                    state.lastFocus = focus;
                }
            }
            return DefWindowProcA(dlg, msg, wParam, lParam);
        case WM_SETFOCUS: {
            HWND to = state.lastFocus && IsUsable(state.lastFocus) ? state.lastFocus
                                                                   : state.FirstTabStop();
            if (to) {
                SetFocus(to);
            }
            return 0;
        }
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(dlg, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client,
                     reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_BTNFACE + 1)));
            return 1;
        }
        default:
            return DefWindowProcA(dlg, msg, wParam, lParam);
    }
}

}  // namespace

}  // namespace pal::dialog

// Differs from Windows: there is no DWLP_MSGRESULT, so a message the dialog procedure handles
// (returns nonzero) gives 0, except WM_INITDIALOG, WM_QUERYDRAGICON and WM_GETDLGCODE, which
// give the procedure's value itself.
LRESULT DefDlgProcA(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam) {
    auto state = pal::dialog::FindDialog(hDlg);
    if (!state) {
        return DefWindowProcA(hDlg, Msg, wParam, lParam);
    }
    LRESULT result = 0;
    INT_PTR handled = state->procedure ? state->procedure(hDlg, Msg, wParam, lParam) : 0;
    if (handled) {
        result = pal::dialog::ResultIsReturnValue(Msg) ? handled : 0;
    } else {
        result = pal::dialog::Defaults(hDlg, *state, Msg, wParam, lParam);
    }
    if (Msg == WM_NCDESTROY) {
        if (state->ownedFont) {
            DeleteObject(state->ownedFont);
        }
        pal::dialog::RemoveDialog(hDlg);
    }
    return result;
}
