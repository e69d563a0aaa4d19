// The cursor the desktop shows, as an X cursor on every window of the backend.
#include "x11/x11_backend.h"

#include <X11/Xlib.h>
#include <X11/cursorfont.h>

namespace pal::x11 {
namespace {

struct SystemShape {
    int id;  // the system cursor's resource id
    unsigned shape;
};

constexpr SystemShape kShapes[] = {
    {32512, XC_left_ptr},
    {32513, XC_xterm},
    {32514, XC_watch},
    {32515, XC_crosshair},
    {32516, XC_center_ptr},
    {32642, XC_bottom_right_corner},
    {32643, XC_bottom_left_corner},
    {32644, XC_sb_h_double_arrow},
    {32645, XC_sb_v_double_arrow},
    {32646, XC_fleur},
    {32648, XC_X_cursor},
    {32649, XC_hand2},
    {32650, XC_watch},
    {32651, XC_question_arrow},
};

// LoadCursorA's system cursors are the resource id in the second page.
int SystemCursorId(HCURSOR cursor) {
    return static_cast<int>(reinterpret_cast<uintptr_t>(cursor)) - 0x10000;
}

// No cursor: an empty one-pixel shape.
Cursor Invisible(Display* display) {
    static const char empty = 0;
    Pixmap blank = XCreateBitmapFromData(display, DefaultRootWindow(display), &empty, 1, 1);
    XColor black{};
    Cursor cursor = XCreatePixmapCursor(display, blank, blank, &black, &black, 0, 0);
    XFreePixmap(display, blank);
    return cursor;
}

}  // namespace

void Backend::CursorChanged(HCURSOR shape) {
    Post([this, shape] {
        Cursor cursor = 0;
        if (!shape) {
            cursor = Invisible(display_);
        } else {
            for (const SystemShape& known : kShapes) {
                if (known.id == SystemCursorId(shape)) {
                    cursor = XCreateFontCursor(display_, known.shape);
                }
            }
        }
        for (const auto& [hwnd, win] : windows_) {
            XDefineCursor(display_, win.id, cursor);
        }
        if (cursor_) {
            XFreeCursor(display_, cursor_);
        }
        cursor_ = cursor;
    });
}

}  // namespace pal::x11
