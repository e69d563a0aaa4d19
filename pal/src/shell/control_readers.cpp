// The notification area's icons and the message boxes as the control socket reports them,
// registered when the layer loads.
#include "windows.h"

namespace {

std::vector<PalControlTrayIcon> TrayIcons() {
    std::vector<PalControlTrayIcon> icons;
    for (const PalNotifyIcon& shown : PalNotifyIcons()) {
        icons.push_back({shown.hWnd, shown.uID, shown.uCallbackMessage, shown.tip, shown.rect});
    }
    return icons;
}

std::vector<PalControlMessageBox> Boxes() {
    std::vector<PalControlMessageBox> boxes;
    for (const PalMessageBox& shown : PalMessageBoxes()) {
        boxes.push_back({shown.owner, shown.caption, shown.text, shown.type, shown.answer});
    }
    return boxes;
}

[[maybe_unused]] const bool kShellReadersRegistered =
    (PalSetControlTrayReader(&TrayIcons), PalSetControlMessageBoxReader(&Boxes), true);

}  // namespace
