#include "x11/x11_input.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace pal::x11 {
namespace {

struct KeyRange {
    KeySym first;
    KeySym last;
    UINT virtualKey;  // of first; the others follow in order
};

constexpr KeyRange kKeys[] = {
    {XK_a, XK_z, 'A'},
    {XK_A, XK_Z, 'A'},
    {XK_0, XK_9, '0'},
    {XK_KP_0, XK_KP_9, 0x60},  // VK_NUMPAD0
    {XK_F1, XK_F12, 0x70},     // VK_F1
    {XK_BackSpace, XK_BackSpace, VK_BACK},
    {XK_Tab, XK_Tab, VK_TAB},
    {XK_ISO_Left_Tab, XK_ISO_Left_Tab, VK_TAB},
    {XK_Return, XK_Return, VK_RETURN},
    {XK_KP_Enter, XK_KP_Enter, VK_RETURN},
    {XK_Escape, XK_Escape, VK_ESCAPE},
    {XK_space, XK_space, VK_SPACE},
    {XK_Prior, XK_Next, 0x21},  // VK_PRIOR, VK_NEXT
    {XK_End, XK_End, 0x23},
    {XK_Home, XK_Home, 0x24},
    {XK_Left, XK_Left, VK_LEFT},
    {XK_Up, XK_Up, VK_UP},
    {XK_Right, XK_Right, VK_RIGHT},
    {XK_Down, XK_Down, VK_DOWN},
    {XK_Insert, XK_Insert, 0x2D},
    {XK_Delete, XK_Delete, VK_DELETE},
    // Left and right modifiers are one virtual key each.
    {XK_Shift_L, XK_Shift_L, VK_SHIFT},
    {XK_Shift_R, XK_Shift_R, VK_SHIFT},
    {XK_Control_L, XK_Control_L, VK_CONTROL},
    {XK_Control_R, XK_Control_R, VK_CONTROL},
    {XK_Alt_L, XK_Alt_L, VK_MENU},
    {XK_Alt_R, XK_Alt_R, VK_MENU},
};

UINT ButtonKey(unsigned button) {
    switch (button) {
        case Button1:
            return VK_LBUTTON;
        case Button3:
            return VK_RBUTTON;
        default:
            return 0;  // the middle button and the wheel have no message in the layer
    }
}

}  // namespace

UINT VirtualKeyOf(unsigned long symbol) {
    for (const KeyRange& range : kKeys) {
        if (symbol >= range.first && symbol <= range.last) {
            return range.virtualKey + static_cast<UINT>(symbol - range.first);
        }
    }
    return 0;
}

void DeliverInput(Display* display, XEvent& event) {
    switch (event.type) {
        case MotionNotify:
            PalInputPointer(event.xmotion.x_root, event.xmotion.y_root);
            break;
        case ButtonPress:
        case ButtonRelease:
            if (UINT key = ButtonKey(event.xbutton.button)) {
                PalInputButton(key, event.type == ButtonPress, event.xbutton.x_root,
                               event.xbutton.y_root);
            }
            break;
        case KeyPress:
        case KeyRelease: {
            // The key's own symbol, whatever the modifiers: the layer makes the character.
            const KeySym symbol =
                XkbKeycodeToKeysym(display, static_cast<KeyCode>(event.xkey.keycode), 0, 0);
            if (UINT key = VirtualKeyOf(symbol)) {
                PalInputKey(key, event.type == KeyPress);
            }
            break;
        }
        default:
            break;
    }
}

}  // namespace pal::x11
