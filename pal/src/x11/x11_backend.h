// The X11 display backend: each top-level window of the desktop model is an X window on the
// display that $DISPLAY names. One thread of the layer owns the connection: it runs the work the
// other threads hand it (creating, showing, moving windows, presenting pixels) and turns the
// display's events into the layer's input entry. What it presents is gathered on the calling
// thread (window_look.h), so it never reads a surface while its window paints.
#pragma once

#include <cairo.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "x11/presenter.h"
#include "x11/window_look.h"
#include "x11/x11_tray.h"

// Xlib's types without its headers, whose macros clash with the layer's names.
struct _XDisplay;
struct _XGC;
union _XEvent;

namespace pal::x11 {

using XId = unsigned long;  // an X window, pixmap or cursor

class Backend : public present::Presenter {
public:
    // Connects to $DISPLAY and starts the thread; null when the display does not open or has
    // no 24-bit true-colour visual.
    static Backend* Open();

    void Shown(HWND hwnd) override;
    void Hidden(HWND hwnd) override;
    void Minimized(HWND hwnd) override;
    void Moved(HWND hwnd) override;
    void Changed(HWND hwnd) override;
    void Activated(HWND hwnd) override;
    void Destroyed(HWND hwnd) override;
    void Drew(HWND hwnd, const cairo_region_t* reach, const cairo_rectangle_int_t& area) override;
    void Present(HWND hwnd) override;
    void CursorChanged(HCURSOR cursor) override;
    void NotifyIconsChanged() override;

    // The X window that shows hwnd; 0 while it has none. For the tests.
    XId XWindowOf(HWND hwnd);
    // Runs done on the backend's thread after everything handed to it so far has reached the
    // server and the events the server answered with (exposures, input) are handled; for the
    // tests, which wait for the display to have what the model has.
    void AfterPending(std::function<void()> done);

private:
    explicit Backend(_XDisplay* display);
    static void* Run(void*);
    // At exit, before the libraries' own finalisers tear Xlib's extensions down: the backend's
    // thread leaves its loop (waited for a little while), so it never calls into them after.
    static void StopAtExit();
    void Loop();
    // Whether the process is ending; the thread then says it has stopped.
    bool Stopped();
    void Post(std::function<void()> job);
    void RunJobs();
    // Handles every event the server has sent, after flushing the requests made so far.
    void HandleEvents();
    void Handle(_XEvent& event);
    HWND WindowFor(XId id);
    // The part drawn since the last Present (window coordinates), taken.
    cairo_region_t* TakeDamage(HWND hwnd);

    // On the backend's thread.
    struct XWin {
        XId id = 0;
        XId pixmap = 0;
        int pixmapWidth = 0;
        int pixmapHeight = 0;
        bool mapped = false;
        bool grabbed = false;  // holds the pointer (an open menu)
    };
    XWin& Create(HWND hwnd, const Look& look);
    void Apply(XWin& win, const Look& look);
    void Put(XWin& win, const Pixels& pixels);
    // The screen's context's drawing, over every window and letting input through: gathered
    // on the calling thread, shown on the backend's.
    void PresentWindow(HWND hwnd);
    void RefreshOverlay();
    void ShowOverlay(const std::vector<cairo_rectangle_int_t>& shape,
                     const std::vector<Pixels>& parts);
    void RaiseOverlay();
    void Grab(XWin& win);
    void Ungrab(XWin& win);
    void Forget(HWND hwnd);
    bool WindowManagerRuns();

    _XDisplay* const display_;
    const int wake_;
    _XGC* gc_ = nullptr;
    XId cursor_ = 0;
    std::map<HWND, XWin> windows_;
    Tray tray_;
    XWin overlay_;

    std::mutex lock_;  // what other threads reach
    std::vector<std::function<void()>> jobs_;
    bool stopping_ = false;
    bool stopped_ = false;
    std::condition_variable stoppedChanged_;
    std::map<HWND, cairo_region_t*> damage_;
    std::map<HWND, XId> ids_;
    std::atomic<bool> overlayShown_{false};  // the screen's drawing shows somewhere
};

// Sets a window's name (_NET_WM_NAME and WM_NAME) as UTF-8.
void SetUtf8Name(_XDisplay* display, XId window, const std::string& name);

// The process's backend when it shows on X11; null when headless.
Backend* Get();

}  // namespace pal::x11
