// For the dialog tests: a recording dialog procedure (into the window tests' log) whose answers
// a test may set, templates built from descriptions, and a modeless loop with an optional
// PreTranslateMessage-style filter in front of the dialog manager.
#pragma once

#include <functional>
#include <optional>

#include "desktop/test/desktop_test_support.h"

namespace paltest {

// What a test lets the dialog procedure answer; nothing means FALSE (the dialog's defaults).
// Without a reaction, WM_COMMAND IDOK and IDCANCEL end the dialog with their id.
using DialogReaction = std::function<std::optional<INT_PTR>(HWND, UINT, WPARAM, LPARAM)>;
inline DialogReaction& CurrentDialogReaction() {
    static DialogReaction reaction;
    return reaction;
}

inline INT_PTR CALLBACK RecordingDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Log().Add(Seen{hwnd, message, wParam, lParam, GetCurrentThreadId()});
    if (const DialogReaction& reaction = CurrentDialogReaction()) {
        if (auto result = reaction(hwnd, message, wParam, lParam)) {
            return *result;
        }
        return FALSE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(hwnd, LOWORD(wParam));
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

inline PalDialogItem Item(const char* className, DWORD id, DWORD style, short x, short y, short cx,
                          short cy, const char* text = "") {
    PalDialogItem item;
    item.className = className;
    item.id = id;
    item.style = WS_CHILD | WS_VISIBLE | style;
    item.x = x;
    item.y = y;
    item.cx = cx;
    item.cy = cy;
    item.text = text;
    return item;
}

// A small box: a text, a default OK button and a Cancel button.
inline PalDialogDescription OkCancelBox(DWORD style = WS_POPUP | WS_VISIBLE | WS_CAPTION) {
    PalDialogDescription box;
    box.style = style;
    box.x = 10;
    box.y = 10;
    box.cx = 170;
    box.cy = 62;
    box.title = "Box";
    box.fontFace = "MS Shell Dlg";
    box.items = {Item("STATIC", 100, SS_NOPREFIX, 42, 14, 114, 8, "Text"),
                 Item("BUTTON", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 60, 41, 50, 14, "OK"),
                 Item("BUTTON", IDCANCEL, WS_TABSTOP, 113, 41, 50, 14, "Cancel")};
    return box;
}

inline LPCDLGTEMPLATEA AsTemplate(const std::vector<BYTE>& bytes) {
    return reinterpret_cast<LPCDLGTEMPLATEA>(bytes.data());
}

// Pumps the thread's messages the way a modeless dialog's owner does: the filter first (TRUE
// takes the message), then IsDialogMessageA, else translate and dispatch; until nothing is left.
inline void PumpDialog(HWND dlg, const std::function<bool(MSG&)>& filter = nullptr) {
    MSG msg;
    for (int i = 0; i < 1000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (filter && filter(msg)) {
            continue;
        }
        if (!IsDialogMessageA(dlg, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

// The centre of a window, in screen coordinates.
inline POINT CentreOf(HWND hwnd) {
    RECT rect;
    GetWindowRect(hwnd, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// Each dialog test starts and ends without a dialog reaction.
class DialogTest : public WindowTest {
protected:
    DialogTest() { CurrentDialogReaction() = nullptr; }
    ~DialogTest() override { CurrentDialogReaction() = nullptr; }
};

}  // namespace paltest
