// TranslateMessage: the characters that key presses type.
#include "desktop/desktop_call.h"
#include "desktop/input_source.h"

namespace {

// The character a key types, 0 for none.
char CharacterOf(UINT key, bool shift) {
    if (key >= 'A' && key <= 'Z') {
        return static_cast<char>(shift ? key : key - 'A' + 'a');
    }
    if (key >= '0' && key <= '9' && !shift) {
        return static_cast<char>(key);
    }
    switch (key) {
        case VK_SPACE:
            return ' ';
        case VK_RETURN:
            return '\r';
        case VK_ESCAPE:
            return '\x1B';
        case VK_TAB:
            return '\t';
        case VK_BACK:
            return '\b';
        default:
            return 0;
    }
}

}  // namespace

// Differs from Windows: a US keyboard without dead keys or Caps Lock; shifted digits and
// punctuation keys type nothing; no WM_SYSCHAR or WM_DEADCHAR.
BOOL TranslateMessage(const MSG* lpMsg) {
    if (!lpMsg || (lpMsg->message != WM_KEYDOWN && lpMsg->message != WM_KEYUP)) {
        return FALSE;
    }
    if (lpMsg->message == WM_KEYDOWN) {
        bool shift = GetKeyState(VK_SHIFT) < 0;
        if (char typed = CharacterOf(static_cast<UINT>(lpMsg->wParam), shift)) {
            PostMessageA(lpMsg->hwnd, WM_CHAR,
                         static_cast<WPARAM>(static_cast<unsigned char>(typed)), lpMsg->lParam);
        }
    }
    return TRUE;
}
