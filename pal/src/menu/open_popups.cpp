#include "menu/open_popups.h"

#include <algorithm>
#include <mutex>

namespace pal::menu {
namespace {

struct Open {
    std::mutex lock;
    std::vector<PalPopupMenu> menus;  // oldest first
};

Open& TheOpen() {
    static Open* open = new Open;  // never destroyed: a popup may end at exit
    return *open;
}

}  // namespace

void Publish(const PalPopupMenu& menu) {
    Open& open = TheOpen();
    std::lock_guard<std::mutex> guard(open.lock);
    auto it = std::find_if(open.menus.begin(), open.menus.end(),
                           [&](const PalPopupMenu& m) { return m.popup == menu.popup; });
    if (it == open.menus.end()) {
        open.menus.push_back(menu);
    } else {
        *it = menu;
    }
}

void Withdraw(HWND popup) {
    Open& open = TheOpen();
    std::lock_guard<std::mutex> guard(open.lock);
    std::erase_if(open.menus, [&](const PalPopupMenu& m) { return m.popup == popup; });
}

}  // namespace pal::menu

std::vector<PalPopupMenu> PalOpenPopupMenus() {
    pal::menu::Open& open = pal::menu::TheOpen();
    std::lock_guard<std::mutex> guard(open.lock);
    return open.menus;
}
