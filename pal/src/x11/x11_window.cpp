// The X windows of the top-level windows: made when first shown, with the hints that give a
// window manager the window's kind, title and icon; presented from a pixmap that holds the
// window's last presented pixels, so an Expose never waits for the program.
#include "x11/x11_backend.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace pal::x11 {
namespace {

constexpr long kEvents = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                         KeyPressMask | KeyReleaseMask | StructureNotifyMask;

Atom Intern(Display* d, const char* name) {
    return XInternAtom(d, name, False);
}

void SetAtoms(Display* d, ::Window w, const char* property, std::vector<Atom> values) {
    XChangeProperty(d, w, Intern(d, property), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(values.data()),
                    static_cast<int>(values.size()));
}

// A window without a caption (a popup, the skinned window) gets no decorations.
void SetDecorations(Display* d, ::Window w, bool decorated) {
    struct {
        unsigned long flags, functions, decorations;
        long inputMode;
        unsigned long status;
    } hints{2 /* decorations given */, 0, decorated ? 1ul : 0ul, 0, 0};
    const Atom atom = Intern(d, "_MOTIF_WM_HINTS");
    XChangeProperty(d, w, atom, atom, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&hints),
                    5);
}

// _NET_WM_ICON: width, height, then the pixels, each a CARDINAL (a long for Xlib).
void SetIcon(Display* d, ::Window w, const Look& look) {
    const Atom atom = Intern(d, "_NET_WM_ICON");
    if (!look.iconWidth) {
        XDeleteProperty(d, w, atom);
        return;
    }
    std::vector<unsigned long> data{static_cast<unsigned long>(look.iconWidth),
                                    static_cast<unsigned long>(look.iconHeight)};
    data.insert(data.end(), look.icon.begin(), look.icon.end());
    XChangeProperty(d, w, atom, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(data.data()), static_cast<int>(data.size()));
}

void SetShape(Display* d, ::Window w, const Look& look) {
    if (!look.hasRegion) {
        XShapeCombineMask(d, w, ShapeBounding, 0, 0, None, ShapeSet);
        return;
    }
    std::vector<XRectangle> rects;
    for (const cairo_rectangle_int_t& r : look.region) {
        rects.push_back(XRectangle{static_cast<short>(r.x), static_cast<short>(r.y),
                                   static_cast<unsigned short>(r.width),
                                   static_cast<unsigned short>(r.height)});
    }
    XShapeCombineRectangles(d, w, ShapeBounding, 0, 0, rects.data(), static_cast<int>(rects.size()),
                            ShapeSet, Unsorted);
}

unsigned Side(LONG from, LONG to) {
    return static_cast<unsigned>(std::max<LONG>(1, to - from));
}

}  // namespace

void SetUtf8Name(Display* d, XId w, const std::string& name) {
    auto* bytes = reinterpret_cast<const unsigned char*>(name.data());
    const int n = static_cast<int>(name.size());
    XChangeProperty(d, w, Intern(d, "_NET_WM_NAME"), Intern(d, "UTF8_STRING"), 8, PropModeReplace,
                    bytes, n);
    XChangeProperty(d, w, XA_WM_NAME, Intern(d, "UTF8_STRING"), 8, PropModeReplace, bytes, n);
}

bool Backend::WindowManagerRuns() {
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    const bool found =
        XGetWindowProperty(display_, DefaultRootWindow(display_),
                           Intern(display_, "_NET_SUPPORTING_WM_CHECK"), 0, 1, False, XA_WINDOW,
                           &type, &format, &count, &after, &data) == Success &&
        count == 1;
    if (data) {
        XFree(data);
    }
    return found;
}

Backend::XWin& Backend::Create(HWND hwnd, const Look& look) {
    XWin& win = windows_[hwnd];
    if (win.id) {
        return win;
    }
    XSetWindowAttributes attributes{};
    attributes.background_pixmap = None;  // the pixmap is copied in; nothing is cleared first
    attributes.event_mask = kEvents;
    attributes.cursor = cursor_;
    // A menu is placed and stacked by the program alone, as a window manager would only delay it.
    attributes.override_redirect = look.menu ? True : False;
    const RECT& r = look.rect;
    win.id =
        XCreateWindow(display_, DefaultRootWindow(display_), r.left, r.top, Side(r.left, r.right),
                      Side(r.top, r.bottom), 0, CopyFromParent, InputOutput, CopyFromParent,
                      CWBackPixmap | CWEventMask | CWCursor | CWOverrideRedirect, &attributes);
    XSizeHints size{};
    size.flags = USPosition | USSize;
    size.x = r.left;
    size.y = r.top;
    size.width = static_cast<int>(Side(r.left, r.right));
    size.height = static_cast<int>(Side(r.top, r.bottom));
    XSetWMNormalHints(display_, win.id, &size);
    Atom protocols[] = {Intern(display_, "WM_DELETE_WINDOW")};
    XSetWMProtocols(display_, win.id, protocols, 1);
    const long pid = getpid();
    XChangeProperty(display_, win.id, Intern(display_, "_NET_WM_PID"), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
    SetAtoms(display_, win.id, "_NET_WM_WINDOW_TYPE",
             {Intern(display_, "_NET_WM_WINDOW_TYPE_NORMAL")});
    // An owned or tool window stays out of the task bar unless it asks to be there.
    const bool inTaskBar =
        (look.exStyle & WS_EX_APPWINDOW) || (!look.owner && !(look.exStyle & WS_EX_TOOLWINDOW));
    std::vector<Atom> state;
    if (!inTaskBar) {
        state.push_back(Intern(display_, "_NET_WM_STATE_SKIP_TASKBAR"));
    }
    if (look.exStyle & WS_EX_TOPMOST) {
        state.push_back(Intern(display_, "_NET_WM_STATE_ABOVE"));
    }
    SetAtoms(display_, win.id, "_NET_WM_STATE", state);
    if (look.owner) {
        auto owner = windows_.find(look.owner);
        if (owner != windows_.end()) {
            XSetTransientForHint(display_, win.id, owner->second.id);
        }
    }
    SetDecorations(display_, win.id, (look.style & WS_CAPTION) == WS_CAPTION);
    Apply(win, look);
    {
        std::lock_guard<std::mutex> guard(lock_);
        ids_[hwnd] = win.id;
    }
    return win;
}

void Backend::Apply(XWin& win, const Look& look) {
    SetUtf8Name(display_, win.id, look.title);
    SetIcon(display_, win.id, look);
    SetShape(display_, win.id, look);
    if (win.pixmapWidth == look.surfaceWidth && win.pixmapHeight == look.surfaceHeight) {
        return;
    }
    // The surface has a new size: a new pixmap, white as an unpainted surface, with the old
    // pixels where they overlap.
    const int depth = DefaultDepth(display_, DefaultScreen(display_));
    Pixmap pixmap = XCreatePixmap(display_, win.id, look.surfaceWidth, look.surfaceHeight, depth);
    XSetForeground(display_, gc_, WhitePixel(display_, DefaultScreen(display_)));
    XFillRectangle(display_, pixmap, gc_, 0, 0, look.surfaceWidth, look.surfaceHeight);
    if (win.pixmap) {
        XCopyArea(display_, win.pixmap, pixmap, gc_, 0, 0, win.pixmapWidth, win.pixmapHeight, 0, 0);
        XFreePixmap(display_, win.pixmap);
    }
    win.pixmap = pixmap;
    win.pixmapWidth = look.surfaceWidth;
    win.pixmapHeight = look.surfaceHeight;
}

void Backend::Put(XWin& win, const Pixels& pixels) {
    const cairo_rectangle_int_t& a = pixels.area;
    if (a.x + a.width > win.pixmapWidth || a.y + a.height > win.pixmapHeight) {
        return;  // from before a resize; the next paint presents the new size
    }
    XImage* image =
        XCreateImage(display_, DefaultVisual(display_, DefaultScreen(display_)), 24, ZPixmap, 0,
                     reinterpret_cast<char*>(const_cast<uint32_t*>(pixels.data.data())), a.width,
                     a.height, 32, a.width * 4);
    image->byte_order = LSBFirst;  // the surface's pixels are native 32-bit words
    XPutImage(display_, win.pixmap, gc_, image, 0, 0, a.x, a.y, a.width, a.height);
    image->data = nullptr;  // not Xlib's to free
    XDestroyImage(image);
    XCopyArea(display_, win.pixmap, win.id, gc_, a.x, a.y, a.width, a.height, a.x, a.y);
}

// An open menu takes the pointer and the keys, so that a click anywhere else and Escape reach
// it (the model's capture then closes it); made viewable first, as a grab needs.
void Backend::Grab(XWin& win) {
    const unsigned events = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
    const bool pointer = XGrabPointer(display_, win.id, False, events, GrabModeAsync, GrabModeAsync,
                                      None, None, CurrentTime) == GrabSuccess;
    const bool keys = XGrabKeyboard(display_, win.id, False, GrabModeAsync, GrabModeAsync,
                                    CurrentTime) == GrabSuccess;
    if (!pointer || !keys) {
        std::fprintf(stderr, "pal: an open menu could not take the %s\n",
                     pointer ? "keyboard" : "pointer");
    }
    win.grabbed = pointer || keys;
}

// A submenu closing leaves the menu it was opened from open: that one takes the pointer back.
void Backend::Ungrab(XWin& win) {
    if (!win.grabbed) {
        return;
    }
    XUngrabPointer(display_, CurrentTime);
    XUngrabKeyboard(display_, CurrentTime);
    win.grabbed = false;
    for (auto& [hwnd, other] : windows_) {
        if (other.grabbed && other.mapped) {
            Grab(other);
            return;
        }
    }
}

void Backend::Forget(HWND hwnd) {
    auto it = windows_.find(hwnd);
    if (it == windows_.end()) {
        return;
    }
    Ungrab(it->second);
    if (it->second.pixmap) {
        XFreePixmap(display_, it->second.pixmap);
    }
    XDestroyWindow(display_, it->second.id);
    windows_.erase(it);
    std::lock_guard<std::mutex> guard(lock_);
    ids_.erase(hwnd);
}

void Backend::Shown(HWND hwnd) {
    auto look = LookOf(hwnd);
    if (!look) {
        return;
    }
    // The whole surface: the window may have painted while it was hidden.
    std::vector<Pixels> parts = PixelsOf(hwnd, nullptr);
    cairo_region_destroy(TakeDamage(hwnd));
    Post([this, hwnd, look = std::move(*look), parts = std::move(parts)] {
        XWin& win = Create(hwnd, look);
        for (const Pixels& pixels : parts) {
            Put(win, pixels);
        }
        if (!look.minimized) {
            XMapRaised(display_, win.id);
            win.mapped = true;
            if (look.menu) {
                Grab(win);
            }
            RaiseOverlay();
        }
    });
}

void Backend::Hidden(HWND hwnd) {
    Post([this, hwnd] {
        auto it = windows_.find(hwnd);
        if (it != windows_.end() && it->second.mapped) {
            Ungrab(it->second);
            XUnmapWindow(display_, it->second.id);
            XWithdrawWindow(display_, it->second.id, DefaultScreen(display_));
            it->second.mapped = false;
        }
    });
}

void Backend::Minimized(HWND hwnd) {
    auto look = LookOf(hwnd);
    if (!look) {
        return;
    }
    Post([this, hwnd, look = std::move(*look)] {
        XWin& win = Create(hwnd, look);
        if (WindowManagerRuns()) {
            XIconifyWindow(display_, win.id, DefaultScreen(display_));
        } else {
            XUnmapWindow(display_, win.id);  // nothing would keep an icon of it
        }
        win.mapped = false;
    });
}

void Backend::Moved(HWND hwnd) {
    auto look = LookOf(hwnd);
    if (!look) {
        return;
    }
    Post([this, hwnd, look = std::move(*look)] {
        auto it = windows_.find(hwnd);
        if (it == windows_.end()) {
            return;
        }
        const RECT& r = look.rect;
        XMoveResizeWindow(display_, it->second.id, r.left, r.top, Side(r.left, r.right),
                          Side(r.top, r.bottom));
        Apply(it->second, look);
    });
}

void Backend::Changed(HWND hwnd) {
    auto look = LookOf(hwnd);
    if (!look) {
        return;
    }
    Post([this, hwnd, look = std::move(*look)] {
        auto it = windows_.find(hwnd);
        if (it != windows_.end()) {
            Apply(it->second, look);
        }
    });
}

void Backend::Activated(HWND hwnd) {
    Post([this, hwnd] {
        auto it = windows_.find(hwnd);
        if (it == windows_.end() || !it->second.mapped) {
            return;
        }
        const ::Window id = it->second.id;
        if (WindowManagerRuns()) {
            // The window manager's active-window request, from an application (source 1).
            XEvent event{};
            event.xclient.type = ClientMessage;
            event.xclient.window = id;
            event.xclient.message_type = Intern(display_, "_NET_ACTIVE_WINDOW");
            event.xclient.format = 32;
            event.xclient.data.l[0] = 1;
            event.xclient.data.l[1] = CurrentTime;
            XSendEvent(display_, DefaultRootWindow(display_), False,
                       SubstructureRedirectMask | SubstructureNotifyMask, &event);
        } else {
            XRaiseWindow(display_, id);
            XSetInputFocus(display_, id, RevertToParent, CurrentTime);
        }
        RaiseOverlay();
    });
}

void Backend::Destroyed(HWND hwnd) {
    cairo_region_destroy(TakeDamage(hwnd));
    Post([this, hwnd] { Forget(hwnd); });
}

}  // namespace pal::x11
