// The popup menus open now in the process, as PalOpenPopupMenus reports them: the tracking
// thread publishes each change (opening, a new highlight) and withdraws the menu when it ends.
#pragma once

#include "windows.h"

namespace pal::menu {

// Adds the menu, or replaces the one shown by the same popup window.
void Publish(const PalPopupMenu& menu);
void Withdraw(HWND popup);

}  // namespace pal::menu
