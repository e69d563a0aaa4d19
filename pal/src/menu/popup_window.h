// The window a tracked popup menu shows in: a top-most tool window of the menu's own class that
// paints the items of its Popup (kept in GWLP_USERDATA) and is never activated.
#pragma once

#include "menu/popup_layout.h"

namespace pal::menu {

struct Popup {
    HMENU handle = nullptr;
    Menu menu;
    Layout layout;
    HFONT font = nullptr;
    HWND owner = nullptr;
    HWND window = nullptr;
    int hot = -1;  // the highlighted item, -1 for none
};

// Creates the (hidden) window for the popup at the screen point, sized to its layout.
HWND CreatePopupWindow(Popup* popup, POINT topLeft);

}  // namespace pal::menu
