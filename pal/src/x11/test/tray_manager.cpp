#include "x11/test/tray_manager.h"

#include <X11/Xatom.h>

#include <algorithm>

namespace paltest {
namespace {

// Where the tray sits on the screen, and each icon's cell in it.
constexpr int kTrayX = 900, kTrayY = 8, kCell = 32;
constexpr long kRequestDock = 0;
constexpr unsigned long kXEmbedMapped = 1;

}  // namespace

TrayManager::TrayManager(const std::string& name) {
    display_ = XOpenDisplay(name.c_str());
    if (!display_) {
        return;
    }
    const ::Window root = DefaultRootWindow(display_);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = 0x303030;
    attributes.override_redirect = True;
    attributes.event_mask = SubstructureNotifyMask;
    tray_ = XCreateWindow(display_, root, kTrayX, kTrayY, 8 * kCell, kCell, 0, CopyFromParent,
                          InputOutput, CopyFromParent,
                          CWBackPixel | CWOverrideRedirect | CWEventMask, &attributes);
    XMapWindow(display_, tray_);
    const std::string selection = "_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(display_));
    selection_ = XInternAtom(display_, selection.c_str(), False);
    opcode_ = XInternAtom(display_, "_NET_SYSTEM_TRAY_OPCODE", False);
    XSetSelectionOwner(display_, selection_, tray_, CurrentTime);
    running_ = XGetSelectionOwner(display_, selection_) == tray_;
    // The announcement that waiting icons dock on.
    XEvent manager{};
    manager.xclient.type = ClientMessage;
    manager.xclient.window = root;
    manager.xclient.message_type = XInternAtom(display_, "MANAGER", False);
    manager.xclient.format = 32;
    manager.xclient.data.l[0] = CurrentTime;
    manager.xclient.data.l[1] = static_cast<long>(selection_);
    manager.xclient.data.l[2] = static_cast<long>(tray_);
    XSendEvent(display_, root, False, StructureNotifyMask, &manager);
    XSync(display_, False);
}

TrayManager::~TrayManager() {
    if (display_) {
        XCloseDisplay(display_);
    }
}

void TrayManager::Serve() {
    XSync(display_, False);
    while (XPending(display_)) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == ClientMessage && event.xclient.window == tray_ &&
            event.xclient.message_type == opcode_ && event.xclient.data.l[1] == kRequestDock) {
            Dock(static_cast<::Window>(event.xclient.data.l[2]));
        } else if (event.type == DestroyNotify) {
            std::erase(docked_, event.xdestroywindow.window);
        }
    }
}

void TrayManager::Dock(::Window icon) {
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    const Atom info = XInternAtom(display_, "_XEMBED_INFO", False);
    bool mapped = false;
    if (XGetWindowProperty(display_, icon, info, 0, 2, False, info, &type, &format, &count, &after,
                           &data) == Success &&
        data && count == 2) {
        mapped = (reinterpret_cast<unsigned long*>(data)[1] & kXEmbedMapped) != 0;
    }
    if (data) {
        XFree(data);
    }
    XAddToSaveSet(display_, icon);
    XReparentWindow(display_, icon, tray_, static_cast<int>(docked_.size()) * kCell + 4, 4);
    if (mapped) {
        XMapWindow(display_, icon);
    }
    docked_.push_back(icon);
    XSync(display_, False);
}

}  // namespace paltest
