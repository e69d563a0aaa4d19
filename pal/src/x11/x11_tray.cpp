#include "x11/x11_tray.h"

#include <algorithm>
#include <string>

#include "desktop/desktop_model.h"
#include "desktop/input_source.h"
#include "shell/notify_area.h"
#include "x11/window_look.h"
#include "x11/x11_backend.h"

// Last: its macros clash with the layer's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace pal::x11 {
namespace {

// The face an icon's image is drawn over, 0xRRGGBB.
constexpr uint32_t kFace = 0xD4D0C8;
// The tray manager's operation that docks an icon (system-tray protocol).
constexpr long kRequestDock = 0;
// _XEMBED_INFO: protocol version 0, and the flag that asks the embedder to map the window.
constexpr unsigned long kXEmbedInfo[] = {0, 1};

constexpr long kIconEvents =
    ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | StructureNotifyMask;

Atom Intern(Display* d, const char* name) {
    return XInternAtom(d, name, False);
}

std::string SelectionName(Display* d) {
    return "_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(d));
}

// The premultiplied pixel over the face, opaque.
uint32_t OverFace(uint32_t pixel) {
    const uint32_t a = pixel >> 24;
    uint32_t out = 0;
    for (int shift : {16, 8, 0}) {
        const uint32_t top = (pixel >> shift) & 0xFF;
        const uint32_t under = (kFace >> shift) & 0xFF;
        out |= std::min<uint32_t>(255, top + under * (255 - a) / 255) << shift;
    }
    return out;
}

// The icon at its own size, at most the side, centred on the face.
std::vector<uint32_t> IconPixels(HICON icon) {
    std::vector<uint32_t> pixels(static_cast<size_t>(kTrayIconSide) * kTrayIconSide, kFace);
    int cx = 0, cy = 0;
    if (!icon || !PalGetIconSize(icon, &cx, &cy) || cx <= 0 || cy <= 0) {
        return pixels;
    }
    cx = std::min(cx, kTrayIconSide);
    cy = std::min(cy, kTrayIconSide);
    std::vector<uint32_t> drawn;
    if (!DrawIconPixels(icon, cx, cy, &drawn)) {
        return pixels;
    }
    const int left = (kTrayIconSide - cx) / 2, top = (kTrayIconSide - cy) / 2;
    for (int y = 0; y < cy; ++y) {
        for (int x = 0; x < cx; ++x) {
            pixels[static_cast<size_t>(top + y) * kTrayIconSide + left + x] =
                OverFace(drawn[static_cast<size_t>(y) * cx + x]);
        }
    }
    return pixels;
}

}  // namespace

std::vector<TrayIconLook> TrayIconLooks() {
    std::vector<TrayIconLook> looks;
    for (const PalNotifyIcon& icon : PalNotifyIcons()) {
        looks.push_back(
            TrayIconLook{icon.hWnd, icon.uID, Utf8FromGbk(icon.tip), IconPixels(icon.hIcon)});
    }
    return looks;
}

Tray::Tray(Display* display)
    : display_(display),
      selection_(Intern(display, SelectionName(display).c_str())),
      opcode_(Intern(display, "_NET_SYSTEM_TRAY_OPCODE")),
      manager_atom_(Intern(display, "MANAGER")) {
    // A tray manager that starts announces itself on the root window.
    XSelectInput(display_, DefaultRootWindow(display_), StructureNotifyMask);
}

void Tray::Sync(std::vector<TrayIconLook> looks) {
    for (auto it = icons_.begin(); it != icons_.end();) {
        const bool kept = std::any_of(looks.begin(), looks.end(), [&](const TrayIconLook& look) {
            return Key{look.hwnd, look.id} == it->first;
        });
        if (kept) {
            ++it;
            continue;
        }
        XDestroyWindow(display_, it->second.window);  // the tray takes it out
        it = icons_.erase(it);
    }
    for (TrayIconLook& look : looks) {
        Icon& icon = icons_[Key{look.hwnd, look.id}];
        icon.look = std::move(look);
        if (!icon.window) {
            Create(icon);
            Dock(icon);
        } else {
            Show(icon);
        }
    }
}

void Tray::Create(Icon& icon) {
    XSetWindowAttributes attributes{};
    attributes.background_pixel = kFace;
    attributes.event_mask = kIconEvents;
    icon.window = XCreateWindow(display_, DefaultRootWindow(display_), 0, 0, kTrayIconSide,
                                kTrayIconSide, 0, CopyFromParent, InputOutput, CopyFromParent,
                                CWBackPixel | CWEventMask, &attributes);
    icon.width = icon.height = kTrayIconSide;
    const Atom info = Intern(display_, "_XEMBED_INFO");
    XChangeProperty(display_, icon.window, info, info, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(kXEmbedInfo), 2);
    Show(icon);
}

// The tip is the icon window's name, which a tray shows for it.
void Tray::Show(const Icon& icon) {
    SetUtf8Name(display_, icon.window, icon.look.tip);
    Draw(icon);
}

void Tray::Draw(const Icon& icon) {
    XImage* image =
        XCreateImage(display_, DefaultVisual(display_, DefaultScreen(display_)), 24, ZPixmap, 0,
                     reinterpret_cast<char*>(const_cast<uint32_t*>(icon.look.pixels.data())),
                     kTrayIconSide, kTrayIconSide, 32, kTrayIconSide * 4);
    image->byte_order = LSBFirst;
    GC gc = XCreateGC(display_, icon.window, 0, nullptr);
    XClearWindow(display_, icon.window);
    XPutImage(display_, icon.window, gc, image, 0, 0, (icon.width - kTrayIconSide) / 2,
              (icon.height - kTrayIconSide) / 2, kTrayIconSide, kTrayIconSide);
    XFreeGC(display_, gc);
    image->data = nullptr;  // not Xlib's to free
    XDestroyImage(image);
}

void Tray::Dock(Icon& icon) {
    const ::Window manager = XGetSelectionOwner(display_, selection_);
    if (manager == None) {
        return;  // it waits for a tray to announce itself
    }
    if (manager != manager_) {
        manager_ = manager;
        XSelectInput(display_, manager_, StructureNotifyMask);  // to learn when it goes
    }
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = manager;
    request.xclient.message_type = opcode_;
    request.xclient.format = 32;
    request.xclient.data.l[0] = CurrentTime;
    request.xclient.data.l[1] = kRequestDock;
    request.xclient.data.l[2] = static_cast<long>(icon.window);
    XSendEvent(display_, manager, False, NoEventMask, &request);
}

void Tray::DockAll() {
    for (auto& [key, icon] : icons_) {
        Dock(icon);
    }
}

void Tray::Lost() {
    manager_ = 0;
    for (auto& [key, icon] : icons_) {
        // Handed back to the root window, or destroyed with the tray: a fresh window waits.
        XDestroyWindow(display_, icon.window);
        Create(icon);
    }
}

Tray::Icon* Tray::IconOf(unsigned long window) {
    for (auto& [key, icon] : icons_) {
        if (icon.window == window) {
            return &icon;
        }
    }
    return nullptr;
}

// The pointer on an icon: the desktop's pointer moves there, and the notification area makes
// the icon's message, as it does for a press on its own strip.
void Tray::Input(const Icon& icon, XEvent& event) {
    InputEvent input;
    input.time = GetTickCount();
    if (event.type == MotionNotify) {
        input.kind = InputEvent::Kind::kPointer;
        input.point = POINT{event.xmotion.x_root, event.xmotion.y_root};
    } else {
        if (event.xbutton.button != Button1 && event.xbutton.button != Button3) {
            return;
        }
        input.kind = InputEvent::Kind::kButton;
        input.key = event.xbutton.button == Button1 ? VK_LBUTTON : VK_RBUTTON;
        input.down = event.type == ButtonPress;
        input.point = POINT{event.xbutton.x_root, event.xbutton.y_root};
    }
    Desktop& desktop = Desktop::Get();
    desktop.SetCursor(input.point);
    if (input.kind == InputEvent::Kind::kButton) {
        desktop.SetKeyDown(input.key, input.down);
    }
    shell::NotifyArea::Get().TakeIconPointer(icon.look.hwnd, icon.look.id, input);
}

bool Tray::Handle(XEvent& event) {
    if (event.type == ClientMessage && event.xclient.message_type == manager_atom_ &&
        static_cast<Atom>(event.xclient.data.l[1]) == selection_) {
        // The announcement may come after the icons asked the same manager already.
        const auto announced = static_cast<unsigned long>(event.xclient.data.l[2]);
        if (announced != manager_) {
            if (manager_) {
                Lost();  // another tray took over from the one we were in
            }
            DockAll();
        }
        return true;
    }
    if (event.type == DestroyNotify && manager_ && event.xdestroywindow.window == manager_) {
        Lost();
        DockAll();  // a tray that took over already
        return true;
    }
    Icon* icon = IconOf(event.xany.window);
    if (!icon) {
        return false;
    }
    switch (event.type) {
        case Expose:
            if (event.xexpose.count == 0) {
                Draw(*icon);
            }
            break;
        case ConfigureNotify:
            icon->width = event.xconfigure.width;
            icon->height = event.xconfigure.height;
            Draw(*icon);
            break;
        case MotionNotify:
        case ButtonPress:
        case ButtonRelease:
            Input(*icon, event);
            break;
        case DestroyNotify:  // gone with its tray: a fresh one waits for the next
            icon->window = 0;
            Create(*icon);
            break;
        default:
            break;  // the embedder's XEmbed messages, reparenting, mapping
    }
    return true;
}

}  // namespace pal::x11
