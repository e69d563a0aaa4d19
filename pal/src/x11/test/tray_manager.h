// For the X11 tests: a small system-tray manager on a connection of its own, as a desktop's
// panel runs one: it takes the tray selection, announces itself on the root window, and docks
// the icons that ask (XEmbed: reparented into its window, mapped when their _XEMBED_INFO says
// so, kept in its save-set). It serves requests only when the test calls Serve; destroying it
// closes its connection, so the tray goes as a panel that ends.
#pragma once

#include <string>
#include <vector>

#include "windows.h"

// Last: Xlib's macros clash with the layer's names.
#include <X11/Xlib.h>

namespace paltest {

class TrayManager {
public:
    explicit TrayManager(const std::string& display);
    ~TrayManager();
    TrayManager(const TrayManager&) = delete;
    TrayManager& operator=(const TrayManager&) = delete;

    // It holds the selection.
    bool Running() const { return running_; }
    // Handles what the server has for it now.
    void Serve();
    // The icon windows it holds, in the order they came.
    const std::vector<::Window>& Docked() const { return docked_; }

private:
    void Dock(::Window icon);

    Display* display_ = nullptr;
    ::Window tray_ = 0;
    Atom selection_ = 0;
    Atom opcode_ = 0;
    bool running_ = false;
    std::vector<::Window> docked_;
};

}  // namespace paltest
