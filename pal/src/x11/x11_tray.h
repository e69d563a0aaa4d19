// The notification area's icons in the desktop's system tray (the freedesktop system-tray
// protocol, with XEmbed): each icon is a small X window that asks the tray's manager to dock it;
// with no tray running it waits and docks when a manager announces itself, and again after a
// tray goes and another comes. The icon shows its image over a plain face, the tip is the
// window's name, and its clicks become the icon's callback message through the notification
// area (shell/notify_area.h), double clicks included. Lives on the backend's thread.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "windows.h"

struct _XDisplay;
union _XEvent;

namespace pal::x11 {

// What the tray shows of an icon, gathered on the calling thread.
struct TrayIconLook {
    HWND hwnd = nullptr;
    UINT id = 0;
    std::string tip;               // UTF-8
    std::vector<uint32_t> pixels;  // kTrayIconSide squared, 0xRRGGBB, rows top first
};

// The side of an icon's window, in pixels; the tray may give it another size.
constexpr int kTrayIconSide = 24;

// The look of every icon of the notification area now.
std::vector<TrayIconLook> TrayIconLooks();

class Tray {
public:
    explicit Tray(_XDisplay* display);
    // Makes the icons what the looks say: new ones docked, gone ones taken out.
    void Sync(std::vector<TrayIconLook> looks);
    // Handles an event of the tray (a manager that comes or goes, an icon's input and exposure);
    // false for every other event.
    bool Handle(_XEvent& event);

private:
    struct Icon {
        TrayIconLook look;
        unsigned long window = 0;
        int width = kTrayIconSide;
        int height = kTrayIconSide;
    };
    using Key = std::pair<HWND, UINT>;

    void Create(Icon& icon);
    void Show(const Icon& icon);
    void Draw(const Icon& icon);
    void Dock(Icon& icon);
    void DockAll();
    // A tray went: the icons go back to waiting, in fresh windows of their own.
    void Lost();
    Icon* IconOf(unsigned long window);
    void Input(const Icon& icon, _XEvent& event);

    _XDisplay* const display_;
    const unsigned long selection_;  // atoms
    const unsigned long opcode_;
    const unsigned long manager_atom_;
    unsigned long manager_ = 0;  // the tray manager's window we docked into
    std::map<Key, Icon> icons_;
};

}  // namespace pal::x11
