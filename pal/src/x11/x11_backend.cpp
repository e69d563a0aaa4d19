#include "x11/x11_backend.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "desktop/desktop_model.h"
#include "kernel/layer_thread.h"
#include "x11/x11_input.h"

#include <X11/Xlib.h>  // last: its macros clash with the layer's names

namespace pal::x11 {
namespace {

Backend* g_backend = nullptr;

// The display went away (the server ended or the connection broke): the program cannot show
// or take input any more, so it ends at once, as an X program does, without waiting on threads
// that may be blocked on the display.
int LostDisplay(Display*) {
    static const char kText[] = "pal: the connection to the X display was lost\n";
    (void)!write(2, kText, sizeof kText - 1);
    _exit(1);
}

// A request about a window that went in the meantime is no fault of the program.
int IgnoreError(Display*, XErrorEvent*) {
    return 0;
}

bool TrueColour24(Display* display) {
    Visual* visual = DefaultVisual(display, DefaultScreen(display));
    return DefaultDepth(display, DefaultScreen(display)) == 24 && visual->red_mask == 0xFF0000 &&
           visual->green_mask == 0xFF00 && visual->blue_mask == 0xFF;
}

}  // namespace

Backend* Get() {
    return g_backend;
}

Backend* Backend::Open() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        return nullptr;
    }
    if (!TrueColour24(display)) {
        std::fprintf(stderr, "pal: the X display has no 24-bit true-colour visual\n");
        XCloseDisplay(display);
        return nullptr;
    }
    XSetIOErrorHandler(&LostDisplay);
    XSetErrorHandler(&IgnoreError);
    g_backend = new Backend(display);  // lives as long as the process
    if (g_backend->wake_ < 0 || !StartLayerThread(&Backend::Run)) {
        std::fprintf(stderr, "pal: the X11 backend's thread could not start\n");
        g_backend = nullptr;
    } else {
        std::atexit(&Backend::StopAtExit);
    }
    return g_backend;
}

Backend::Backend(Display* display)
    : display_(display), wake_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)), tray_(display) {
    gc_ = XCreateGC(display_, DefaultRootWindow(display_), 0, nullptr);
    const Screen* screen = DefaultScreenOfDisplay(display_);
    Desktop::Get().SetScreenSize(Extent{screen->width, screen->height});
}

void* Backend::Run(void*) {
    g_backend->Loop();
    return nullptr;
}

void Backend::StopAtExit() {
    Backend* backend = g_backend;
    std::unique_lock<std::mutex> held(backend->lock_);
    backend->stopping_ = true;
    const uint64_t one = 1;
    (void)!write(backend->wake_, &one, sizeof one);
    // A job stuck on a server that does not answer must not hold the exit for ever.
    backend->stoppedChanged_.wait_for(held, std::chrono::seconds(2),
                                      [backend] { return backend->stopped_; });
}

bool Backend::Stopped() {
    std::lock_guard<std::mutex> guard(lock_);
    if (stopping_) {
        stopped_ = true;
        stoppedChanged_.notify_all();
    }
    return stopped_;
}

void Backend::Loop() {
    pollfd ready[2] = {{ConnectionNumber(display_), POLLIN, 0}, {wake_, POLLIN, 0}};
    while (!Stopped()) {
        RunJobs();
        // XPending flushes the requests the jobs and handlers made, then reads what came. Nothing
        // may touch the connection between its last "none" and the wait: a flush there reads
        // events into Xlib's own queue, and the wait on the socket would sleep on them.
        HandleEvents();
        if (poll(ready, 2, -1) < 0) {
            continue;
        }
        if (ready[1].revents & POLLIN) {
            uint64_t count;
            (void)!read(wake_, &count, sizeof count);
        }
    }
}

void Backend::HandleEvents() {
    while (!Stopped() && XPending(display_)) {
        XEvent event;
        XNextEvent(display_, &event);
        Handle(event);
    }
}

void Backend::Post(std::function<void()> job) {
    {
        std::lock_guard<std::mutex> guard(lock_);
        jobs_.push_back(std::move(job));
    }
    const uint64_t one = 1;
    (void)!write(wake_, &one, sizeof one);
}

void Backend::RunJobs() {
    std::vector<std::function<void()>> jobs;
    {
        std::lock_guard<std::mutex> guard(lock_);
        jobs.swap(jobs_);
    }
    for (auto& job : jobs) {
        if (Stopped()) {
            return;
        }
        job();
    }
}

void Backend::AfterPending(std::function<void()> done) {
    Post([this, done = std::move(done)] {
        XSync(display_, False);
        HandleEvents();
        XSync(display_, False);  // what the handlers drew has reached the screen
        done();
    });
}

HWND Backend::WindowFor(XId id) {
    for (const auto& [hwnd, win] : windows_) {
        if (win.id == id) {
            return hwnd;
        }
    }
    return nullptr;
}

XId Backend::XWindowOf(HWND hwnd) {
    std::lock_guard<std::mutex> guard(lock_);
    auto it = ids_.find(hwnd);
    return it == ids_.end() ? 0 : it->second;
}

void Backend::Handle(XEvent& event) {
    if (tray_.Handle(event)) {
        return;
    }
    if (overlay_.id && event.xany.window == overlay_.id) {
        if (event.type == Expose) {
            const XExposeEvent& e = event.xexpose;
            XCopyArea(display_, overlay_.pixmap, overlay_.id, gc_, e.x, e.y, e.width, e.height, e.x,
                      e.y);
        }
        return;
    }
    HWND hwnd = WindowFor(event.xany.window);
    if (!hwnd) {
        return;
    }
    XWin& win = windows_[hwnd];
    switch (event.type) {
        case Expose: {
            const XExposeEvent& e = event.xexpose;
            XCopyArea(display_, win.pixmap, win.id, gc_, e.x, e.y, e.width, e.height, e.x, e.y);
            break;
        }
        case ClientMessage:
            // The window manager's close request (its close button, Alt+F4).
            if (event.xclient.message_type == XInternAtom(display_, "WM_PROTOCOLS", False) &&
                static_cast<Atom>(event.xclient.data.l[0]) ==
                    XInternAtom(display_, "WM_DELETE_WINDOW", False)) {
                PostMessageA(hwnd, WM_CLOSE, 0, 0);
            }
            break;
        default:
            DeliverInput(display_, event);
            break;
    }
}

cairo_region_t* Backend::TakeDamage(HWND hwnd) {
    std::lock_guard<std::mutex> guard(lock_);
    auto it = damage_.find(hwnd);
    if (it == damage_.end()) {
        return nullptr;
    }
    cairo_region_t* taken = it->second;
    damage_.erase(it);
    return taken;
}

void Backend::Drew(HWND hwnd, const cairo_region_t* reach, const cairo_rectangle_int_t& area) {
    cairo_region_t* drawn = cairo_region_copy(reach);
    cairo_region_intersect_rectangle(drawn, &area);
    std::lock_guard<std::mutex> guard(lock_);
    cairo_region_t*& region = damage_[hwnd];
    if (!region) {
        region = cairo_region_create();
    }
    cairo_region_union(region, drawn);
    cairo_region_destroy(drawn);
}

void Backend::Present(HWND drawn) {
    if (drawn) {
        // A child draws into its top-level window's surface: that is the window to present.
        PresentWindow(Desktop::Get().Root(drawn));
    }
    // The screen's drawing, or a window's drawing that may have taken it away where it shows.
    if (!drawn || overlayShown_) {
        RefreshOverlay();
    }
}

void Backend::PresentWindow(HWND hwnd) {
    cairo_region_t* damage = hwnd ? TakeDamage(hwnd) : nullptr;
    if (!damage) {
        return;
    }
    auto look = LookOf(hwnd);
    std::vector<Pixels> parts = PixelsOf(hwnd, damage);
    cairo_region_destroy(damage);
    if (!look || parts.empty()) {
        return;
    }
    Post([this, hwnd, look = std::move(*look), parts = std::move(parts)] {
        auto it = windows_.find(hwnd);
        if (it == windows_.end()) {
            return;  // not shown yet: showing it presents the whole surface
        }
        for (const Pixels& pixels : parts) {
            Put(it->second, pixels);
        }
    });
}

void Backend::NotifyIconsChanged() {
    Post([this, looks = TrayIconLooks()]() mutable { tray_.Sync(std::move(looks)); });
}

}  // namespace pal::x11
