// A window: the object behind an HWND of this process, and the process's table of them.
//
// A window belongs to the thread that created it. Its fixed parts are set at creation; the parts
// that change (state, procedure, update area) are kept under its own lock, since other threads
// post to it, look it up and find it by class and title.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "draw/window_surface.h"
#include "window/message_queue.h"
#include "windows.h"

namespace pal {

struct WindowClass;
struct UiThread;

class Window {
public:
    enum class State { kCreating, kLive, kDestroying, kGone };

    struct Params {
        HWND hwnd = nullptr;
        std::shared_ptr<WindowClass> windowClass;
        std::shared_ptr<UiThread> thread;
        bool messageOnly = false;
        bool child = false;  // WS_CHILD with a parent
        DWORD style = 0;
        DWORD exStyle = 0;
        HINSTANCE instance = nullptr;
        int id = 0;   // a child window's control id
        RECT rect{};  // in the parent's client coordinates for a child, else the screen's
        std::string title;
        std::string root;  // the runtime root it is published in; empty when it is not
    };
    explicit Window(Params params);

    const HWND hwnd;
    const DWORD threadId;
    const std::shared_ptr<WindowClass> windowClass;
    const std::shared_ptr<UiThread> thread;
    const bool messageOnly;
    const HINSTANCE instance;
    const std::string root;
    const unsigned long long sequence;  // creation order within the process
    // The size, region and part to paint of the window, with the pixels of a top-level window;
    // null for a message-only one. It shows on the screen while the window is on the desktop.
    const std::shared_ptr<draw::WindowSurface> surface;
    std::atomic<bool> published{false};  // in the registry of root (window_publish.h)

    WNDPROC Procedure();
    std::string Title();
    DWORD Style();
    DWORD ExStyle();
    RECT Rect();
    int Id();
    LONG_PTR UserData();
    HICON Icon(bool big);

    // What the desktop's calls change (pal/desktop.h); the caller sends the messages.
    void SetProcedure(WNDPROC procedure);
    void SetTitle(std::string title);
    void SetStyle(DWORD style);
    void SetExStyle(DWORD exStyle);
    void SetRect(RECT rect);
    void SetId(int id);
    void SetUserData(LONG_PTR data);
    // Returns the icon it replaces.
    HICON SetIcon(bool big, HICON icon);

    State GetState();
    // Moving to kGone also makes every later Post fail.
    void SetState(State state);

    // Appends a message to the owner thread's queue; kClosed once the window is gone.
    MessageQueue::PostResult Post(UINT message, WPARAM wParam, LPARAM lParam);

    // The part to paint (in the surface): the whole window once it is created visible, later
    // what is invalidated. NeedsPaint is true while that part is not empty and the window is
    // visible.
    void InvalidateAll(bool erase);
    bool NeedsPaint();

private:
    std::mutex lock_;
    State state_ = State::kCreating;
    WNDPROC procedure_;
    std::string title_;
    DWORD style_;
    DWORD exStyle_;
    RECT rect_;
    int id_;
    LONG_PTR userData_ = 0;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
};

// The window of hwnd in this process unless it is gone; null otherwise (also for handles of
// other processes).
std::shared_ptr<Window> FindWindowObject(HWND hwnd);
void AddWindowObject(const std::shared_ptr<Window>& window);
// Takes the window out of the table (it is gone).
void RemoveWindowObject(HWND hwnd);
// Takes every window of the thread out of the table (the thread has ended), oldest first.
std::vector<std::shared_ptr<Window>> RemoveWindowsOfThread(DWORD threadId);
// The oldest top-level window of the thread that is not being destroyed.
std::shared_ptr<Window> OldestTopLevelWindowOf(DWORD threadId);

// Calls the window's procedure on the calling thread.
LRESULT CallWindowProcedure(const std::shared_ptr<Window>& window, UINT message, WPARAM wParam,
                            LPARAM lParam);

}  // namespace pal
