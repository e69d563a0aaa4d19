// MessageBoxA: records the box and tells standard error. On a display a person sees, the box
// shows as a window and its modal loop runs until it is answered; on the headless desktop it is
// answered at once with its default button, or, while boxes are held, the loop runs until a
// caller answers it.
#include "shell/message_box.h"

#include <unistd.h>

#include <algorithm>

#include "shell/message_box_window.h"
#include "text/gbk_utf8.h"
#include "x11/presenter.h"

namespace {

int DefaultButton(UINT type, const std::vector<int>& buttons) {
    size_t index = (type & MB_DEFMASK) >> 8;
    return index < buttons.size() ? buttons[index] : buttons.front();
}

// One write, so that lines of several threads do not mix.
void Tell(const PalMessageBox& box) {
    std::string line = "MessageBox [" + pal::text::Utf8FromGbk(box.caption) + "] " +
                       pal::text::Utf8FromGbk(box.text) + "\n";
    ssize_t written = write(STDERR_FILENO, line.data(), line.size());
    (void)written;  // nothing to do when standard error is gone
}

// The box's modal loop: the owner is disabled and the thread's messages dispatched, the box's
// window (if it has one) given its keys, until the box is answered; then the window goes.
int WaitForAnswer(DWORD id, HWND owner, HWND window, int fallback) {
    bool disabled = owner && !EnableWindow(owner, FALSE);
    pal::shell::MessageBoxes& boxes = pal::shell::MessageBoxes::Get();
    std::optional<int> answer;
    MSG msg;
    while (!(answer = boxes.AnswerOf(id))) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) {
                PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop outside
            }
            boxes.Answer(id, fallback);
            continue;
        }
        if (window && IsDialogMessageA(window, &msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (disabled && IsWindow(owner)) {
        EnableWindow(owner, TRUE);
    }
    if (window && IsWindow(window)) {
        DestroyWindow(window);  // after the owner is enabled, so that it is active again
    }
    return *answer;
}

}  // namespace

// Differs from Windows: the box is also recorded and told on standard error; on the headless
// desktop no box is drawn, and it is answered at once with its default button unless boxes are
// held.
int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    std::vector<int> buttons = pal::shell::ButtonsOf(uType);
    if (buttons.empty()) {
        SetLastError(ERROR_INVALID_MSGBOX_STYLE);
        return 0;
    }
    if (hWnd && !IsWindow(hWnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    PalMessageBox box{0,
                      hWnd,
                      GetCurrentThreadId(),
                      lpText ? lpText : "",
                      lpCaption ? lpCaption : PalGbk("错误"),
                      uType,
                      0};
    Tell(box);
    bool held = false;
    pal::shell::MessageBoxes& boxes = pal::shell::MessageBoxes::Get();
    DWORD id = boxes.Open(box, &held);
    int fallback = DefaultButton(uType, buttons);
    HWND window = pal::present::OnX11() ? pal::shell::ShowMessageBoxWindow(id, box, fallback) : nullptr;
    if (!held && !window) {
        boxes.Answer(id, fallback);
        return fallback;
    }
    return WaitForAnswer(id, hWnd, window, fallback);
}

BOOL PalAnswerMessageBox(DWORD id, int button) {
    pal::shell::MessageBoxes& boxes = pal::shell::MessageBoxes::Get();
    for (const PalMessageBox& box : boxes.All()) {
        std::vector<int> buttons = pal::shell::ButtonsOf(box.type);
        if (box.id == id && box.answer == 0 &&
            std::find(buttons.begin(), buttons.end(), button) != buttons.end() &&
            boxes.Answer(id, button)) {
            PostThreadMessageA(box.threadId, WM_NULL, 0, 0);  // wakes the box's loop
            return TRUE;
        }
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}
