// The window of a message box on a display a person sees: a dialog owned by the box's owner
// with the text, one line per line of it, and the box type's buttons, the default one focused.
// A button, Enter (the focused or default button) or Escape (Cancel, or OK when that is the only
// button) answers the box through the process's record of boxes.
#pragma once

#include "windows.h"

namespace pal::shell {

// Creates and shows the window of the open box `id` of the calling thread (its owner, texts and
// type as `box` has them; `defaultButton` one of the type's buttons). The window answers the box;
// the box's loop then destroys it. A window destroyed unanswered answers with the default
// button. NULL when the window cannot be made (a text that is no GBK text).
HWND ShowMessageBoxWindow(DWORD id, const PalMessageBox& box, int defaultButton);

}  // namespace pal::shell
