// The process's model of the desktop: which windows are children of which, the z-order of each
// set of siblings (the top-level windows are the screen's siblings), owners, and the desktop's
// state (active, focus and capture windows, the pointer, the screen's size). Every display
// backend and the drawing read it; only the layer's window calls change it.
//
// One lock guards it. It may call into a Window (whose lock comes second); a Window never calls
// back into it while holding its own lock. No window procedure runs under it.
#pragma once

#include <bitset>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "windows.h"

namespace pal {

class Window;

struct Extent {
    int cx;
    int cy;
};

class Desktop {
public:
    static constexpr int kDefaultWidth = 1920;
    static constexpr int kDefaultHeight = 1080;

    static Desktop& Get();

    // A new window goes to the front of its siblings (children of parent, or the top-level
    // windows for parent NULL). owner is the owner of a top-level window.
    void Add(HWND hwnd, HWND parent, HWND owner);
    void Remove(HWND hwnd);
    bool Contains(HWND hwnd);

    HWND Parent(HWND hwnd);
    HWND Owner(HWND hwnd);
    // The top-level window a window belongs to (itself for a top-level window).
    HWND Root(HWND hwnd);
    // Front first. parent NULL gives the top-level windows.
    std::vector<HWND> Children(HWND parent);
    std::vector<HWND> OwnedBy(HWND owner);
    // Moves hwnd to the front (HWND_TOP), the back (HWND_BOTTOM) or just behind a sibling.
    // False when insertAfter is neither a special value nor a sibling of hwnd.
    bool Reorder(HWND hwnd, HWND insertAfter);

    HWND Active();
    HWND Focus();
    HWND Capture();
    void SetActive(HWND hwnd);
    void SetFocus(HWND hwnd);
    void SetCapture(HWND hwnd);

    POINT Cursor();
    void SetCursor(POINT point);
    HCURSOR CursorShape();
    HCURSOR SetCursorShape(HCURSOR shape);  // returns the previous one
    // The keys and buttons down now (GetAsyncKeyState); returns whether it was down.
    bool KeyDown(UINT key);
    std::bitset<256> KeysDown();
    bool SetKeyDown(UINT key, bool down);
    Extent ScreenSize();
    void SetScreenSize(Extent size);

private:
    struct Node {
        HWND parent = nullptr;
        HWND owner = nullptr;
        std::vector<HWND> children;  // front first
    };
    std::vector<HWND>* SiblingsLocked(HWND parent);

    std::mutex lock_;
    std::map<HWND, Node> nodes_;
    std::vector<HWND> topLevel_;  // front first
    HWND active_ = nullptr;
    HWND focus_ = nullptr;
    HWND capture_ = nullptr;
    POINT cursor_{0, 0};
    HCURSOR cursorShape_ = nullptr;
    std::bitset<256> keysDown_;
    Extent screen_{kDefaultWidth, kDefaultHeight};
};

// The window of this process behind hwnd when it is on the desktop (not message-only, not
// gone); null otherwise.
std::shared_ptr<Window> DesktopWindow(HWND hwnd);

// The window's rectangle in screen coordinates.
RECT ScreenRect(HWND hwnd);
// The visible window frontmost under a screen point, down to the deepest child; NULL for none.
// A point outside a window's window region does not hit it.
HWND WindowAtPoint(POINT screen);

}  // namespace pal
