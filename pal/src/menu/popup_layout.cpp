#include "menu/popup_layout.h"

#include <algorithm>

#include "text/gbk_name.h"

namespace pal::menu {
namespace {

SIZE Measure(HDC dc, const std::string& text) {
    SIZE size{0, 0};
    GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
    return size;
}

// Removes the "&" marks of a GBK text, reading two-byte characters whole.
std::string WithoutMarks(const std::string& text) {
    std::string shown;
    for (size_t i = 0; i < text.size();) {
        size_t length = fs::CharLength(text, i);
        if (length == 1 && text[i] == '&') {
            ++i;
            if (i < text.size() && text[i] == '&') {
                shown += '&';
                ++i;
            }
            continue;
        }
        shown.append(text, i, length);
        i += length;
    }
    return shown;
}

}  // namespace

Label LabelOf(const std::string& text) {
    size_t tab = fs::FindChar(text, '\t');
    if (tab == std::string::npos) {
        return Label{WithoutMarks(text), ""};
    }
    return Label{WithoutMarks(text.substr(0, tab)), text.substr(tab + 1)};
}

HFONT CreateMenuFont() {
    // 9 points at 96 dots per inch: 12 pixels.
    return CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, 0, 0, 0, 0,
                       "MS Shell Dlg");
}

Layout LayOut(const Menu& menu, HFONT font) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    int textWidth = 0;
    int acceleratorWidth = 0;
    int lineHeight = Measure(dc, "M").cy;
    for (const Item& item : menu.items) {
        if (!item.IsSeparator()) {
            Label label = LabelOf(item.text);
            textWidth = std::max(textWidth, static_cast<int>(Measure(dc, label.text).cx));
            if (!label.accelerator.empty()) {
                acceleratorWidth = std::max(acceleratorWidth,
                                            static_cast<int>(Measure(dc, label.accelerator).cx));
            }
        }
    }
    SelectObject(dc, old);
    DeleteDC(dc);

    int inner = kTextLeft + textWidth + kTextRight +
                (acceleratorWidth ? kAcceleratorGap + acceleratorWidth : 0);
    Layout layout;
    int y = kBorder;
    for (const Item& item : menu.items) {
        int height = item.IsSeparator() ? kSeparatorHeight : lineHeight + kItemPadding;
        layout.rects.push_back(RECT{kBorder, y, kBorder + inner, y + height});
        y += height;
    }
    layout.size = SIZE{inner + 2 * kBorder, y + kBorder};
    return layout;
}

}  // namespace pal::menu
