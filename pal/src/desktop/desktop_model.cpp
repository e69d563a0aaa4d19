#include "desktop/desktop_model.h"

#include <algorithm>

#include "window/window_object.h"

namespace pal {

Desktop& Desktop::Get() {
    static Desktop* desktop = new Desktop;  // outlives every static destructor
    return *desktop;
}

std::vector<HWND>* Desktop::SiblingsLocked(HWND parent) {
    if (!parent) {
        return &topLevel_;
    }
    auto it = nodes_.find(parent);
    return it == nodes_.end() ? nullptr : &it->second.children;
}

void Desktop::Add(HWND hwnd, HWND parent, HWND owner) {
    std::lock_guard<std::mutex> guard(lock_);
    nodes_[hwnd] = Node{parent, owner, {}};
    if (auto* siblings = SiblingsLocked(parent)) {
        siblings->insert(siblings->begin(), hwnd);
    }
}

void Desktop::Remove(HWND hwnd) {
    std::lock_guard<std::mutex> guard(lock_);
    auto it = nodes_.find(hwnd);
    if (it == nodes_.end()) {
        return;
    }
    if (auto* siblings = SiblingsLocked(it->second.parent)) {
        std::erase(*siblings, hwnd);
    }
    nodes_.erase(it);
    for (HWND* state : {&active_, &focus_, &capture_}) {
        if (*state == hwnd) {
            *state = nullptr;
        }
    }
}

bool Desktop::Contains(HWND hwnd) {
    std::lock_guard<std::mutex> guard(lock_);
    return nodes_.count(hwnd) != 0;
}

HWND Desktop::Parent(HWND hwnd) {
    std::lock_guard<std::mutex> guard(lock_);
    auto it = nodes_.find(hwnd);
    return it == nodes_.end() ? nullptr : it->second.parent;
}

HWND Desktop::Owner(HWND hwnd) {
    std::lock_guard<std::mutex> guard(lock_);
    auto it = nodes_.find(hwnd);
    return it == nodes_.end() ? nullptr : it->second.owner;
}

HWND Desktop::Root(HWND hwnd) {
    std::lock_guard<std::mutex> guard(lock_);
    for (;;) {
        auto it = nodes_.find(hwnd);
        if (it == nodes_.end()) {
            return nullptr;
        }
        if (!it->second.parent) {
            return hwnd;
        }
        hwnd = it->second.parent;
    }
}

std::vector<HWND> Desktop::Children(HWND parent) {
    std::lock_guard<std::mutex> guard(lock_);
    auto* siblings = SiblingsLocked(parent);
    return siblings ? *siblings : std::vector<HWND>{};
}

std::vector<HWND> Desktop::OwnedBy(HWND owner) {
    std::lock_guard<std::mutex> guard(lock_);
    std::vector<HWND> owned;
    for (HWND hwnd : topLevel_) {
        if (nodes_[hwnd].owner == owner) {
            owned.push_back(hwnd);
        }
    }
    return owned;
}

bool Desktop::Reorder(HWND hwnd, HWND insertAfter) {
    std::lock_guard<std::mutex> guard(lock_);
    auto it = nodes_.find(hwnd);
    if (it == nodes_.end()) {
        return false;
    }
    auto* siblings = SiblingsLocked(it->second.parent);
    if (!siblings) {
        return false;
    }
    if (insertAfter != HWND_TOP && insertAfter != HWND_BOTTOM &&
        (insertAfter == hwnd ||
         std::find(siblings->begin(), siblings->end(), insertAfter) == siblings->end())) {
        return false;
    }
    std::erase(*siblings, hwnd);
    if (insertAfter == HWND_TOP) {
        siblings->insert(siblings->begin(), hwnd);
    } else if (insertAfter == HWND_BOTTOM) {
        siblings->push_back(hwnd);
    } else {
        auto after = std::find(siblings->begin(), siblings->end(), insertAfter);
        siblings->insert(after + 1, hwnd);
    }
    return true;
}

HWND Desktop::Active() {
    std::lock_guard<std::mutex> guard(lock_);
    return active_;
}

HWND Desktop::Focus() {
    std::lock_guard<std::mutex> guard(lock_);
    return focus_;
}

HWND Desktop::Capture() {
    std::lock_guard<std::mutex> guard(lock_);
    return capture_;
}

void Desktop::SetActive(HWND hwnd) {
    std::lock_guard<std::mutex> guard(lock_);
    active_ = hwnd;
}

void Desktop::SetFocus(HWND hwnd) {
    std::lock_guard<std::mutex> guard(lock_);
    focus_ = hwnd;
}

void Desktop::SetCapture(HWND hwnd) {
    std::lock_guard<std::mutex> guard(lock_);
    capture_ = hwnd;
}

POINT Desktop::Cursor() {
    std::lock_guard<std::mutex> guard(lock_);
    return cursor_;
}

void Desktop::SetCursor(POINT point) {
    std::lock_guard<std::mutex> guard(lock_);
    cursor_ = point;
}

HCURSOR Desktop::CursorShape() {
    std::lock_guard<std::mutex> guard(lock_);
    return cursorShape_;
}

HCURSOR Desktop::SetCursorShape(HCURSOR shape) {
    std::lock_guard<std::mutex> guard(lock_);
    HCURSOR old = cursorShape_;
    cursorShape_ = shape;
    return old;
}

bool Desktop::KeyDown(UINT key) {
    std::lock_guard<std::mutex> guard(lock_);
    return key < keysDown_.size() && keysDown_[key];
}

std::bitset<256> Desktop::KeysDown() {
    std::lock_guard<std::mutex> guard(lock_);
    return keysDown_;
}

bool Desktop::SetKeyDown(UINT key, bool down) {
    std::lock_guard<std::mutex> guard(lock_);
    if (key >= keysDown_.size()) {
        return false;
    }
    bool was = keysDown_[key];
    keysDown_[key] = down;
    return was;
}

Extent Desktop::ScreenSize() {
    std::lock_guard<std::mutex> guard(lock_);
    return screen_;
}

void Desktop::SetScreenSize(Extent size) {
    std::lock_guard<std::mutex> guard(lock_);
    screen_ = size;
}

std::shared_ptr<Window> DesktopWindow(HWND hwnd) {
    auto window = FindWindowObject(hwnd);
    return window && !window->messageOnly ? window : nullptr;
}

RECT ScreenRect(HWND hwnd) {
    auto window = DesktopWindow(hwnd);
    if (!window) {
        return RECT{0, 0, 0, 0};
    }
    RECT rect = window->Rect();
    if (HWND parent = Desktop::Get().Parent(hwnd)) {
        RECT outer = ScreenRect(parent);
        rect.left += outer.left;
        rect.right += outer.left;
        rect.top += outer.top;
        rect.bottom += outer.top;
    }
    return rect;
}

namespace {

bool Contains(const RECT& rect, POINT point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
           point.y < rect.bottom;
}

// The point is in the window's rectangle and in its window region, when it has one.
bool Hits(HWND hwnd, Window& window, POINT screen) {
    const RECT rect = ScreenRect(hwnd);
    return Contains(rect, screen) &&
           (!window.surface || window.surface->InRegion(screen.x - rect.left, screen.y - rect.top));
}

HWND DeepestAt(HWND hwnd, POINT screen) {
    for (HWND child : Desktop::Get().Children(hwnd)) {
        auto window = DesktopWindow(child);
        if (window && (window->Style() & WS_VISIBLE) && Hits(child, *window, screen)) {
            return DeepestAt(child, screen);
        }
    }
    return hwnd;
}

}  // namespace

HWND WindowAtPoint(POINT screen) {
    for (HWND top : Desktop::Get().Children(nullptr)) {
        auto window = DesktopWindow(top);
        if (window && (window->Style() & (WS_VISIBLE | WS_MINIMIZE)) == WS_VISIBLE &&
            Hits(top, *window, screen)) {
            return DeepestAt(top, screen);
        }
    }
    return nullptr;
}

}  // namespace pal
