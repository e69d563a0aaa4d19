// Where a popup menu's items go in its window: one row per item, as wide as the widest text,
// measured with the menu font; and the text an item shows (its "&" marks taken out, the part
// after a tab shown at the right).
#pragma once

#include <string>
#include <vector>

#include "menu/menu_table.h"

namespace pal::menu {

struct Layout {
    SIZE size{0, 0};
    std::vector<RECT> rects;  // window coordinates, one per item
};

struct Label {
    std::string text;         // before the tab, "&" marks removed ("&&" shows one "&")
    std::string accelerator;  // after the tab
};

Label LabelOf(const std::string& text);
// The font items are drawn with: the dialog font, 9 point "MS Shell Dlg". The caller frees it.
HFONT CreateMenuFont();
Layout LayOut(const Menu& menu, HFONT font);

// Layout constants shared by the layout and the painting.
constexpr int kBorder = 2;
constexpr int kTextLeft = 28;  // room for a check mark
constexpr int kTextRight = 20;
constexpr int kAcceleratorGap = 24;
constexpr int kSeparatorHeight = 9;
constexpr int kItemPadding = 8;  // above and below the text, together

}  // namespace pal::menu
