#include "x11/test/window_manager.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

namespace paltest {
namespace {

bool g_refused = false;

// Another window manager holds the root's redirection already.
int Refused(Display*, XErrorEvent*) {
    g_refused = true;
    return 0;
}

Atom Intern(Display* d, const char* name) {
    return XInternAtom(d, name, False);
}

}  // namespace

WindowManager::WindowManager(Display* display) : display_(display) {
    if (!display_) {
        return;
    }
    const ::Window root = DefaultRootWindow(display_);
    g_refused = false;
    XErrorHandler before = XSetErrorHandler(&Refused);
    XSelectInput(display_, root, SubstructureRedirectMask | SubstructureNotifyMask);
    XSync(display_, False);
    XSetErrorHandler(before);
    if (g_refused) {
        return;
    }
    check_ = XCreateSimpleWindow(display_, root, -10, -10, 1, 1, 0, 0, 0);
    for (::Window holder : {root, check_}) {
        XChangeProperty(display_, holder, Intern(display_, "_NET_SUPPORTING_WM_CHECK"), XA_WINDOW,
                        32, PropModeReplace, reinterpret_cast<const unsigned char*>(&check_), 1);
    }
    XSync(display_, False);
    running_ = true;
}

WindowManager::~WindowManager() {
    if (!display_) {
        return;
    }
    if (running_) {
        XDeleteProperty(display_, DefaultRootWindow(display_),
                        Intern(display_, "_NET_SUPPORTING_WM_CHECK"));
        XSync(display_, False);
    }
    XCloseDisplay(display_);
}

// WM_STATE, which a managed client window carries: 1 normal, 3 iconic.
void WindowManager::SetState(::Window window, long state) {
    const long value[] = {state, static_cast<long>(None)};
    const Atom atom = Intern(display_, "WM_STATE");
    XChangeProperty(display_, window, atom, atom, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(value), 2);
}

void WindowManager::Serve() {
    XSync(display_, False);
    while (XPending(display_)) {
        XEvent event;
        XNextEvent(display_, &event);
        switch (event.type) {
            case MapRequest:
                SetState(event.xmaprequest.window, NormalState);
                XMapWindow(display_, event.xmaprequest.window);
                break;
            case ConfigureRequest: {
                const XConfigureRequestEvent& r = event.xconfigurerequest;
                XWindowChanges changes{r.x,     r.y,     r.width, r.height, r.border_width,
                                       r.above, r.detail};
                XConfigureWindow(display_, r.window, static_cast<unsigned>(r.value_mask), &changes);
                break;
            }
            case ClientMessage: {
                const XClientMessageEvent& m = event.xclient;
                if (m.message_type == Intern(display_, "WM_CHANGE_STATE") &&
                    m.data.l[0] == IconicState) {
                    iconified_.push_back(m.window);
                    SetState(m.window, IconicState);
                    XUnmapWindow(display_, m.window);
                } else if (m.message_type == Intern(display_, "_NET_ACTIVE_WINDOW")) {
                    activations_.push_back(m.window);
                    XRaiseWindow(display_, m.window);
                    XSetInputFocus(display_, m.window, RevertToParent, CurrentTime);
                }
                break;
            }
            default:
                break;
        }
    }
    XSync(display_, False);
}

}  // namespace paltest
