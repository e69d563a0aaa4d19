#include "menu/popup_window.h"

#include <mutex>

namespace pal::menu {
namespace {

constexpr char kClassName[] = "#32768";
// Colours of the menu: text, the highlight and its text, grey text and lines.
constexpr COLORREF kText = RGB(0, 0, 0);
constexpr COLORREF kHighlight = RGB(51, 153, 255);
constexpr COLORREF kHighlightText = RGB(255, 255, 255);
constexpr COLORREF kGrey = RGB(160, 160, 160);

void Fill(HDC dc, RECT rect, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

// A tick in the margin left of the text, centred on the row: a short stroke down to the right,
// then a long one up, each column three pixels high.
void PaintCheck(HDC dc, const RECT& row, COLORREF color) {
    constexpr int kDrop[] = {2, 3, 4, 3, 2, 1, 0};
    constexpr int kWidth = sizeof(kDrop) / sizeof(kDrop[0]);
    constexpr int kHeight = 7;
    int left = row.left + (kTextLeft - kWidth) / 2;
    int top = row.top + (row.bottom - row.top - kHeight) / 2;
    for (int x = 0; x < kWidth; ++x) {
        Fill(dc, RECT{left + x, top + kDrop[x], left + x + 1, top + kDrop[x] + 3}, color);
    }
}

void PaintItem(HDC dc, const Popup& popup, size_t i) {
    const Item& item = popup.menu.items[i];
    RECT rect = popup.layout.rects[i];
    if (item.IsSeparator()) {
        int middle = (rect.top + rect.bottom) / 2;
        Fill(dc, RECT{rect.left + 2, middle, rect.right - 2, middle + 1}, kGrey);
        return;
    }
    bool hot = static_cast<int>(i) == popup.hot;
    if (hot) {
        Fill(dc, rect, kHighlight);
    }
    COLORREF text = !item.Enabled() ? kGrey : hot ? kHighlightText : kText;
    SetTextColor(dc, text);
    if (item.flags & MF_CHECKED) {
        PaintCheck(dc, rect, text);
    }
    Label label = LabelOf(item.text);
    SIZE size{0, 0};
    GetTextExtentPoint32A(dc, label.text.data(), static_cast<int>(label.text.size()), &size);
    int y = rect.top + (rect.bottom - rect.top - size.cy) / 2;
    TextOutA(dc, rect.left + kTextLeft, y, label.text.data(), static_cast<int>(label.text.size()));
    std::string right = item.IsPopup() ? ">" : label.accelerator;
    if (!right.empty()) {
        GetTextExtentPoint32A(dc, right.data(), static_cast<int>(right.size()), &size);
        TextOutA(dc, rect.right - kTextRight / 2 - size.cx, y, right.data(),
                 static_cast<int>(right.size()));
    }
}

void Paint(HWND hwnd, const Popup& popup) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    if (!dc) {
        return;
    }
    RECT all{0, 0, popup.layout.size.cx, popup.layout.size.cy};
    Fill(dc, all, kGrey);  // the border
    Fill(dc, RECT{1, 1, all.right - 1, all.bottom - 1}, GetSysColor(COLOR_MENU));
    HGDIOBJ old = SelectObject(dc, popup.font);
    SetBkMode(dc, TRANSPARENT);
    for (size_t i = 0; i < popup.menu.items.size(); ++i) {
        PaintItem(dc, popup, i);
    }
    SelectObject(dc, old);
    EndPaint(hwnd, &paint);
}

LRESULT CALLBACK PopupProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* popup = reinterpret_cast<Popup*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (message == WM_PAINT && popup) {
        Paint(hwnd, *popup);
        return 0;
    }
    if (message == WM_ERASEBKGND) {
        return 1;  // the paint covers every pixel
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void RegisterPopupClass() {
    static std::once_flag once;
    std::call_once(once, [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &PopupProc;
        windowClass.lpszClassName = kClassName;
        RegisterClassA(&windowClass);
    });
}

}  // namespace

HWND CreatePopupWindow(Popup* popup, POINT topLeft) {
    RegisterPopupClass();
    HWND hwnd = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, "", WS_POPUP,
                                topLeft.x, topLeft.y, popup->layout.size.cx,
                                popup->layout.size.cy, popup->owner, nullptr, nullptr, nullptr);
    if (hwnd) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(popup));
    }
    return hwnd;
}

}  // namespace pal::menu
