#include "shell/message_box_window.h"

#include <algorithm>
#include <string>
#include <vector>

#include "shell/message_box.h"

namespace pal::shell {
namespace {

// Pixels of the box's layout: the margin round the text and buttons, the gap between the
// buttons and above them, and a button's size.
constexpr int kMargin = 14;
constexpr int kGap = 10;
constexpr int kButtonWidth = 84;
constexpr int kButtonHeight = 26;
constexpr WORD kFirstLineId = 0x7000;  // the text's lines, one control each

struct Box {
    DWORD id = 0;
    HWND owner = nullptr;
    std::vector<int> buttons;
    int defaultButton = IDOK;
    std::vector<std::string> lines;
};

const char* LabelOf(int button) {
    switch (button) {
        case IDOK:
            return PalGbk("确定");
        case IDCANCEL:
            return PalGbk("取消");
        case IDABORT:
            return PalGbk("中止");
        case IDRETRY:
        case IDTRYAGAIN:
            return PalGbk("重试");
        case IDIGNORE:
            return PalGbk("忽略");
        case IDYES:
            return PalGbk("是");
        case IDNO:
            return PalGbk("否");
        default:
            return PalGbk("继续");
    }
}

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines(1);
    for (char c : text) {
        if (c == '\n') {
            lines.emplace_back();
        } else if (c != '\r') {
            lines.back() += c;
        }
    }
    return lines;
}

bool Has(const std::vector<int>& buttons, int button) {
    return std::find(buttons.begin(), buttons.end(), button) != buttons.end();
}

std::vector<BYTE> TemplateOf(const Box& box, const char* caption) {
    PalDialogDescription d;
    d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_CLIPCHILDREN | WS_VISIBLE;
    d.title = caption;
    d.fontFace = "MS Shell Dlg";
    d.pointSize = 9;
    for (size_t i = 0; i < box.lines.size(); ++i) {
        PalDialogItem line;
        line.style = WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX;
        line.id = kFirstLineId + static_cast<DWORD>(i);
        line.className = "STATIC";
        line.text = box.lines[i];
        d.items.push_back(line);
    }
    for (int button : box.buttons) {
        PalDialogItem item;
        item.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP |
                     (button == box.defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        item.id = static_cast<DWORD>(button);
        item.className = "BUTTON";
        item.text = LabelOf(button);
        d.items.push_back(item);
    }
    return PalBuildDialogTemplate(d);
}

// Sizes the box to its text in the dialog's font, the buttons centred in a row below it, and
// centres it over its owner when that shows, else on the screen.
void Layout(HWND dialog, const Box& box) {
    HDC dc = GetDC(dialog);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32A(dc, "X", 1, &size);
    const int lineHeight = size.cy + 2;
    int textWidth = 0;
    for (const std::string& line : box.lines) {
        GetTextExtentPoint32A(dc, line.c_str(), static_cast<int>(line.size()), &size);
        textWidth = std::max(textWidth, static_cast<int>(size.cx));
    }
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);

    const int count = static_cast<int>(box.buttons.size());
    const int row = count * kButtonWidth + (count - 1) * kGap;
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const int width = std::min(std::max(textWidth, row) + 2 * kMargin, screenWidth);
    const int textHeight = static_cast<int>(box.lines.size()) * lineHeight;
    const int height = kMargin + textHeight + 2 * kGap + kButtonHeight + kMargin;
    RECT area{0, 0, screenWidth, screenHeight};
    if (box.owner && IsWindowVisible(box.owner) && !IsIconic(box.owner)) {
        GetWindowRect(box.owner, &area);
    }
    const int left = std::clamp((area.left + area.right - width) / 2, 0, screenWidth - width);
    const int top = std::clamp((area.top + area.bottom - height) / 2, 0,
                               std::max(0, screenHeight - height));
    SetWindowPos(dialog, HWND_TOP, left, top, width, height, 0);
    for (size_t i = 0; i < box.lines.size(); ++i) {
        MoveWindow(GetDlgItem(dialog, kFirstLineId + static_cast<int>(i)), kMargin,
                   kMargin + static_cast<int>(i) * lineHeight, width - 2 * kMargin, lineHeight,
                   TRUE);
    }
    int x = (width - row) / 2;
    const int y = kMargin + textHeight + 2 * kGap;
    for (int button : box.buttons) {
        MoveWindow(GetDlgItem(dialog, button), x, y, kButtonWidth, kButtonHeight, TRUE);
        x += kButtonWidth + kGap;
    }
}

Box* BoxOf(HWND dialog) {
    return reinterpret_cast<Box*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
}

INT_PTR CALLBACK BoxProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_INITDIALOG: {
            const Box* box = reinterpret_cast<const Box*>(lParam);
            SetWindowLongPtrA(dialog, GWLP_USERDATA, lParam);
            Layout(dialog, *box);
            SendMessageA(dialog, DM_SETDEFID, static_cast<WPARAM>(box->defaultButton), 0);
            SetFocus(GetDlgItem(dialog, box->defaultButton));
            return FALSE;
        }
        case WM_COMMAND: {
            Box* box = BoxOf(dialog);
            int button = LOWORD(wParam);
            if (!box) {
                return FALSE;
            }
            // Escape and the close command: Cancel, or OK when that is the box's only button;
            // a box with neither (Yes and No) stays until it is answered.
            if (button == IDCANCEL && !Has(box->buttons, IDCANCEL)) {
                if (box->buttons.size() != 1 || box->buttons.front() != IDOK) {
                    return TRUE;
                }
                button = IDOK;
            }
            if (!Has(box->buttons, button)) {
                return FALSE;
            }
            // The box's loop sees the answer, enables the owner again and then takes the
            // window away, so that the owner is active again.
            MessageBoxes::Get().Answer(box->id, button);
            return TRUE;
        }
        case WM_DESTROY:
            if (Box* box = BoxOf(dialog)) {
                // Gone unanswered (with its owner): its default button answers, so that the
                // box's loop ends.
                MessageBoxes::Get().Answer(box->id, box->defaultButton);
                delete box;
                SetWindowLongPtrA(dialog, GWLP_USERDATA, 0);
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

HWND ShowMessageBoxWindow(DWORD id, const PalMessageBox& shown, int defaultButton) {
    auto* box = new Box{id, shown.owner, ButtonsOf(shown.type), defaultButton, LinesOf(shown.text)};
    const std::vector<BYTE> bytes = TemplateOf(*box, shown.caption.c_str());
    HWND dialog = bytes.empty() ? nullptr
                                : CreateDialogIndirectParamA(
                                      GetModuleHandleA(nullptr),
                                      reinterpret_cast<LPCDLGTEMPLATEA>(bytes.data()), shown.owner,
                                      &BoxProc, reinterpret_cast<LPARAM>(box));
    if (!dialog) {
        delete box;  // its controls failed before the window took it
    }
    return dialog;
}

}  // namespace pal::shell
