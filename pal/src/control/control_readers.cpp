#include "control/control_readers.h"

#include <mutex>

#include "control/control_text.h"
#include "windows.h"

namespace pal::control {
namespace {

struct Readers {
    std::mutex lock;
    PalControlMenuReader menu;
    PalControlTrayReader tray;
    PalControlMessageBoxReader boxes;
};

Readers& TheReaders() {
    static Readers* readers = new Readers;  // never destroyed: the socket's thread may ask at exit
    return *readers;
}

// A copy of the registered reader, so that it runs without the lock.
template <typename Reader>
Reader Copy(Reader Readers::*which) {
    Readers& readers = TheReaders();
    std::lock_guard<std::mutex> guard(readers.lock);
    return readers.*which;
}

template <typename Reader>
void Set(Reader Readers::*which, Reader reader) {
    Readers& readers = TheReaders();
    std::lock_guard<std::mutex> guard(readers.lock);
    readers.*which = std::move(reader);
}

std::string ItemLine(const PalControlMenuItem& item) {
    return "item id=" + std::to_string(item.id) + " text=" + Quoted(item.text) +
           " rect=" + RectText(item.rect) + " flags=" + HexText(item.flags) +
           " highlighted=" + (item.highlighted ? "1" : "0") + "\n";
}

}  // namespace

std::optional<std::string> MenuLines() {
    auto reader = Copy(&Readers::menu);
    if (!reader) {
        return std::nullopt;
    }
    std::string lines;
    for (const PalControlMenu& menu : reader()) {
        lines += "menu hwnd=" + HandleText(menu.window) + " rect=" + RectText(menu.rect) +
                 " items=" + std::to_string(menu.items.size()) + "\n";
        for (const PalControlMenuItem& item : menu.items) {
            lines += ItemLine(item);
        }
    }
    return lines;
}

std::optional<std::string> TrayLines() {
    auto reader = Copy(&Readers::tray);
    if (!reader) {
        return std::nullopt;
    }
    std::string lines;
    for (const PalControlTrayIcon& icon : reader()) {
        lines += "icon hwnd=" + HandleText(icon.hwnd) + " id=" + std::to_string(icon.id) +
                 " message=" + HexText(icon.callbackMessage) + " tip=" + Quoted(icon.tip) +
                 " rect=" + RectText(icon.rect) + "\n";
    }
    return lines;
}

std::optional<std::string> MessageBoxLines() {
    auto reader = Copy(&Readers::boxes);
    if (!reader) {
        return std::nullopt;
    }
    std::string lines;
    for (const PalControlMessageBox& box : reader()) {
        lines += "box owner=" + HandleText(box.owner) + " caption=" + Quoted(box.caption) +
                 " text=" + Quoted(box.text) + " type=" + HexText(box.type) +
                 " result=" + std::to_string(box.result) + "\n";
    }
    return lines;
}

}  // namespace pal::control

void PalSetControlMenuReader(PalControlMenuReader reader) {
    pal::control::Set(&pal::control::Readers::menu, std::move(reader));
}

void PalSetControlTrayReader(PalControlTrayReader reader) {
    pal::control::Set(&pal::control::Readers::tray, std::move(reader));
}

void PalSetControlMessageBoxReader(PalControlMessageBoxReader reader) {
    pal::control::Set(&pal::control::Readers::boxes, std::move(reader));
}
