// For the X11 tests: a minimal window manager on a connection of its own. It says it runs
// (_NET_SUPPORTING_WM_CHECK), maps and configures what its clients ask, iconifies a window that
// asks (WM_CHANGE_STATE) and raises and focuses the window of an active-window request
// (_NET_ACTIVE_WINDOW), recording the requests. It serves only when the test calls Serve;
// destroying it ends it.
#pragma once

#include <vector>

#include "windows.h"

// Last: Xlib's macros clash with the layer's names.
#include <X11/Xlib.h>

namespace paltest {

class WindowManager {
public:
    explicit WindowManager(Display* display);  // a connection it owns and closes
    ~WindowManager();
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;

    bool Running() const { return running_; }
    void Serve();
    const std::vector<::Window>& Iconified() const { return iconified_; }
    const std::vector<::Window>& ActivationRequests() const { return activations_; }

private:
    void SetState(::Window window, long state);

    Display* const display_;
    ::Window check_ = 0;
    bool running_ = false;
    std::vector<::Window> iconified_;
    std::vector<::Window> activations_;
};

}  // namespace paltest
