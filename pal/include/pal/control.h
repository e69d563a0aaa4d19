// Not Win32: the control socket, through which a test or a person drives and observes a running
// program's desktop from another process (the protocol is in pal/src/control/README.md; the tool
// that speaks it is tools/paldesk).
//
// Each process serves one socket, <runtime root>/control/<pid>, from a thread of the layer. It
// starts when the process creates its first top-level window; a process whose runtime root
// changes (a test that gives each case its own root) serves in the new root from its next
// top-level window on.
//
// What the socket reports of popup menus, notification-area icons and message boxes comes from
// readers that the areas showing them register here. The socket calls a reader on its own
// thread: a reader takes its own lock, copies what is shown and never waits for a GUI thread.
// Texts are the layer's narrow (GBK) text.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "pal/types.h"

struct PalControlMenuItem {
    UINT id = 0;      // the command id (0 for a separator)
    std::string text;
    RECT rect{};      // screen coordinates
    UINT flags = 0;   // the item's MF_ flags
    bool highlighted = false;
};

// An open popup menu (a submenu that is open too comes after its parent).
struct PalControlMenu {
    HWND window = nullptr;  // the popup window that shows it
    RECT rect{};            // screen coordinates
    std::vector<PalControlMenuItem> items;
};

struct PalControlTrayIcon {
    HWND hwnd = nullptr;  // the window its callback message goes to
    UINT id = 0;          // its uID
    UINT callbackMessage = 0;
    std::string tip;
    RECT rect{};  // where it is shown, screen coordinates
};

// A message box shown now or answered already, oldest first.
struct PalControlMessageBox {
    HWND owner = nullptr;
    std::string caption;
    std::string text;
    UINT type = 0;    // its MB_ flags
    int result = 0;   // the answer; 0 while it is still shown
};

using PalControlMenuReader = std::function<std::vector<PalControlMenu>()>;
using PalControlTrayReader = std::function<std::vector<PalControlTrayIcon>()>;
using PalControlMessageBoxReader = std::function<std::vector<PalControlMessageBox>()>;

// Registers the reader of its kind, replacing the one before; an empty function removes it.
void PalSetControlMenuReader(PalControlMenuReader reader);
void PalSetControlTrayReader(PalControlTrayReader reader);
void PalSetControlMessageBoxReader(PalControlMessageBoxReader reader);

// The path of the socket this process serves, empty before it serves one.
std::string PalControlSocketPath();
