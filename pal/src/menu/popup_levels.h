// The popups open in one tracked menu: the menu itself and the submenus opened from it, each
// in a window of its own, deepest last. Every level is published for PalOpenPopupMenus while it
// is open and withdrawn when it closes.
#pragma once

#include <memory>
#include <vector>

#include "menu/popup_window.h"

namespace pal::menu {

// A level and one of its items; level -1 for a point outside every level, item -1 for a point
// of a level that is on no item.
struct PopupHit {
    int level = -1;
    int item = -1;
};

class PopupLevels {
public:
    PopupLevels(HWND owner, HFONT font) : owner_(owner), font_(font) {}
    ~PopupLevels() { CloseFrom(0); }
    PopupLevels(const PopupLevels&) = delete;
    PopupLevels& operator=(const PopupLevels&) = delete;

    // Shows the menu as the first level, its top-left corner at the point (moved to fit the
    // screen); false when its window could not be made.
    bool OpenRoot(HMENU handle, Menu menu, POINT point);
    // Shows the submenu of the item of the deepest level beside that item, with `hot`
    // highlighted; false when the item has no submenu (or the submenu went).
    bool OpenSubmenu(int item, int hot);
    // Closes the levels from `level` on, deepest first.
    void CloseFrom(size_t level);

    size_t Count() const { return levels_.size(); }
    Popup& At(size_t level) { return *levels_[level]; }
    Popup& Deepest() { return *levels_.back(); }
    // The deepest level whose window holds the screen point, and its item there.
    PopupHit HitAt(POINT screen) const;
    // Highlights the item of the level (-1 for none), repainting and publishing it on a change.
    void SetHot(size_t level, int hot);

private:
    // Opens a level at the point (the first) or beside the rectangle of its parent item.
    bool Open(HMENU handle, Menu menu, POINT point, const RECT* beside, int hot);

    HWND owner_;
    HFONT font_;
    std::vector<std::unique_ptr<Popup>> levels_;
};

// The first selectable item after `from` in the direction of step (+1 or -1), wrapping; from
// itself when there is none. From -1 the first (or last) is found.
int NextSelectable(const Menu& menu, int from, int step);

}  // namespace pal::menu
