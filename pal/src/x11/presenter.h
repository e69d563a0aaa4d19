// What the window model and the drawing tell the display backend about the top-level windows.
// The backend only presents pixels and delivers input; the model stays the one in desktop/.
// The headless backend does nothing with any of it; the X11 backend (x11_backend.h) shows each
// top-level window as an X window.
//
// The calls come from any thread, never under the desktop's or a window's lock. A call for a
// window that is not top-level, or not on the desktop, is ignored.
#pragma once

#include <cairo.h>

#include "windows.h"

namespace pal::present {

class Presenter {
public:
    virtual ~Presenter() = default;

    virtual void Shown(HWND hwnd) = 0;      // became visible, or was restored
    virtual void Hidden(HWND hwnd) = 0;     // hidden
    virtual void Minimized(HWND hwnd) = 0;  // minimised
    virtual void Moved(HWND hwnd) = 0;      // moved or sized
    virtual void Changed(HWND hwnd) = 0;    // its title, icon or window region changed
    virtual void Activated(HWND hwnd) = 0;  // became the foreground window
    virtual void Destroyed(HWND hwnd) = 0;
    // The window drew the area (window coordinates) of its surface, as far as it lies in reach;
    // Present shows what it drew since the last Present (called when a paint or a window
    // context ends), and Present(NULL) what the screen's context drew.
    virtual void Drew(HWND hwnd, const cairo_region_t* reach,
                      const cairo_rectangle_int_t& area) = 0;
    virtual void Present(HWND hwnd) = 0;
    virtual void CursorChanged(HCURSOR cursor) = 0;
    // The notification area's icons were added, changed or removed (PalNotifyIcons has them).
    virtual void NotifyIconsChanged() = 0;
};

// The backend of this process, chosen at its first use: $PAL_DISPLAY "headless" or "x11" forces
// one; otherwise X11 when $DISPLAY names a display that opens, else headless. A forced X11
// backend whose display does not open falls back to headless with a message on stderr.
Presenter& Current();

// True when the process shows its windows on X11.
bool OnX11();

}  // namespace pal::present
