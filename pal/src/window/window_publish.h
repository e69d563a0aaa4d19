// Publishing a top-level window in the runtime root it was created under: its process's inbox
// (post_inbox.h) first, then its record (window_registry.h), so whoever finds the record can
// post to it. Message-only windows are never published.
#pragma once

#include "window/window_object.h"

namespace pal {

// ERROR_SUCCESS, or the error that kept the window from being published (nothing is left then).
DWORD Publish(Window& window);
// Takes back what Publish did; nothing for a window that is not published.
void Unpublish(Window& window);

}  // namespace pal
