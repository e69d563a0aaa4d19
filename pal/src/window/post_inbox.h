// Posts between the processes of a runtime root. A process that owns published windows in a root
// has an inbox there: a datagram socket (window_registry.h) that one listener thread of the
// process reads, turning each post (post_wire.h) into a post to the named window's queue when
// that window exists and is published in that root. Sending is one datagram without waiting.
#pragma once

#include <string>

#include "window/window_entry.h"

namespace pal {

// The process receives posts in root from now on (one call per published window); ERROR_SUCCESS
// or the error that kept its inbox from being made.
DWORD JoinInbox(const std::string& root);
// One published window fewer; with none left the inbox goes.
void LeaveInbox(const std::string& root);

// Sends a post to the process of the window's record: ERROR_SUCCESS, ERROR_NOT_ENOUGH_QUOTA when
// its inbox is full, ERROR_INVALID_WINDOW_HANDLE when it has none (it has ended).
DWORD SendPost(const std::string& root, const WindowEntry& target, UINT message, WPARAM wParam,
               LPARAM lParam);

}  // namespace pal
