#include "menu/menu_table.h"

#include <cstdint>
#include <mutex>
#include <set>
#include <unordered_map>

namespace pal::menu {
namespace {

// Menu handles are multiples of 4 in a range of their own, below the GDI objects' and far
// above the kernel handles'; they are never reused.
constexpr uintptr_t kFirstHandle = 0x30000000;

struct Table {
    std::mutex lock;
    uintptr_t next = kFirstHandle;
    std::unordered_map<uintptr_t, Menu> menus;
};

Table& TheTable() {
    static Table* table = new Table;  // never destroyed: menus may be freed at exit
    return *table;
}

uintptr_t Key(HMENU handle) {
    return reinterpret_cast<uintptr_t>(handle);
}

}  // namespace

HMENU AddMenu(Menu menu) {
    Table& table = TheTable();
    std::lock_guard<std::mutex> guard(table.lock);
    const uintptr_t handle = table.next;
    table.next += 4;
    table.menus.emplace(handle, std::move(menu));
    return reinterpret_cast<HMENU>(handle);
}

std::optional<Menu> FindMenu(HMENU handle) {
    Table& table = TheTable();
    std::lock_guard<std::mutex> guard(table.lock);
    auto it = table.menus.find(Key(handle));
    if (it == table.menus.end()) {
        return std::nullopt;
    }
    return it->second;
}

bool AppendItem(HMENU handle, Item item) {
    Table& table = TheTable();
    std::lock_guard<std::mutex> guard(table.lock);
    auto it = table.menus.find(Key(handle));
    if (it == table.menus.end()) {
        return false;
    }
    it->second.items.push_back(std::move(item));
    return true;
}

// A menu may carry itself or one of its parents as a submenu: each is removed once.
bool RemoveMenu(HMENU handle) {
    Table& table = TheTable();
    std::lock_guard<std::mutex> guard(table.lock);
    if (!table.menus.count(Key(handle))) {
        return false;
    }
    std::vector<uintptr_t> pending{Key(handle)};
    while (!pending.empty()) {
        auto it = table.menus.find(pending.back());
        pending.pop_back();
        if (it == table.menus.end()) {
            continue;
        }
        for (const Item& item : it->second.items) {
            if (item.IsPopup()) {
                pending.push_back(Key(item.submenu));
            }
        }
        table.menus.erase(it);
    }
    return true;
}

}  // namespace pal::menu
