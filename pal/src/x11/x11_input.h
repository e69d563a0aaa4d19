// The display's pointer, button and key events as the layer's input entry (pal/input.h), so a
// window sees on X11 what it sees headless. Coordinates are the root window's, which are the
// desktop model's screen coordinates.
#pragma once

#include "windows.h"

struct _XDisplay;
union _XEvent;

namespace pal::x11 {

// Feeds a pointer, button or key event to the input entry; other events are left alone.
void DeliverInput(_XDisplay* display, _XEvent& event);
// The virtual key of a key symbol; 0 for a key the layer has none for.
UINT VirtualKeyOf(unsigned long symbol);  // a KeySym

}  // namespace pal::x11
