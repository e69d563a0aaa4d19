#include "window/window_object.h"

#include <algorithm>
#include <atomic>
#include <map>

#include "draw/screen.h"
#include "window/ui_thread.h"
#include "window/window_class.h"
#include "x11/presenter.h"

namespace pal {
namespace {

std::atomic<unsigned long long> g_lastSequence{0};

struct WindowTable {
    std::mutex lock;
    std::map<HWND, std::shared_ptr<Window>> windows;
};

WindowTable& Table() {
    static WindowTable* table = new WindowTable;  // outlives every static destructor
    return *table;
}

}  // namespace

Window::Window(Params params)
    : hwnd(params.hwnd),
      threadId(params.thread->id),
      windowClass(std::move(params.windowClass)),
      thread(std::move(params.thread)),
      messageOnly(params.messageOnly),
      instance(params.instance),
      root(std::move(params.root)),
      sequence(++g_lastSequence),
      surface(params.messageOnly
                  ? nullptr
                  : std::make_shared<draw::WindowSurface>(params.hwnd, params.rect, !params.child)),
      procedure_(windowClass->procedure),
      title_(std::move(params.title)),
      style_(params.style),
      exStyle_(params.exStyle),
      rect_(params.rect),
      id_(params.id) {}

WNDPROC Window::Procedure() {
    std::lock_guard<std::mutex> guard(lock_);
    return procedure_;
}

std::string Window::Title() {
    std::lock_guard<std::mutex> guard(lock_);
    return title_;
}

DWORD Window::Style() {
    std::lock_guard<std::mutex> guard(lock_);
    return style_;
}

DWORD Window::ExStyle() {
    std::lock_guard<std::mutex> guard(lock_);
    return exStyle_;
}

RECT Window::Rect() {
    std::lock_guard<std::mutex> guard(lock_);
    return rect_;
}

int Window::Id() {
    std::lock_guard<std::mutex> guard(lock_);
    return id_;
}

LONG_PTR Window::UserData() {
    std::lock_guard<std::mutex> guard(lock_);
    return userData_;
}

HICON Window::Icon(bool big) {
    std::lock_guard<std::mutex> guard(lock_);
    return big ? bigIcon_ : smallIcon_;
}

void Window::SetProcedure(WNDPROC procedure) {
    std::lock_guard<std::mutex> guard(lock_);
    procedure_ = procedure;
}

void Window::SetTitle(std::string title) {
    std::lock_guard<std::mutex> guard(lock_);
    title_ = std::move(title);
}

void Window::SetStyle(DWORD style) {
    std::lock_guard<std::mutex> guard(lock_);
    style_ = style;
}

void Window::SetExStyle(DWORD exStyle) {
    std::lock_guard<std::mutex> guard(lock_);
    exStyle_ = exStyle;
}

void Window::SetRect(RECT rect) {
    {
        std::lock_guard<std::mutex> guard(lock_);
        rect_ = rect;
    }
    if (surface) {
        surface->Resize(rect.right - rect.left, rect.bottom - rect.top);
    }
}

void Window::SetId(int id) {
    std::lock_guard<std::mutex> guard(lock_);
    id_ = id;
}

void Window::SetUserData(LONG_PTR data) {
    std::lock_guard<std::mutex> guard(lock_);
    userData_ = data;
}

HICON Window::SetIcon(bool big, HICON icon) {
    std::lock_guard<std::mutex> guard(lock_);
    HICON& slot = big ? bigIcon_ : smallIcon_;
    HICON old = slot;
    slot = icon;
    return old;
}

Window::State Window::GetState() {
    std::lock_guard<std::mutex> guard(lock_);
    return state_;
}

void Window::SetState(State state) {
    std::lock_guard<std::mutex> guard(lock_);
    state_ = state;
}

MessageQueue::PostResult Window::Post(UINT message, WPARAM wParam, LPARAM lParam) {
    // Under the window's lock: a post either comes before the window is gone, and is then
    // dropped with its other messages, or fails.
    std::lock_guard<std::mutex> guard(lock_);
    if (state_ == State::kGone) {
        return MessageQueue::PostResult::kClosed;
    }
    return thread->queue->Post(hwnd, message, wParam, lParam);
}

void Window::InvalidateAll(bool erase) {
    if (surface) {
        surface->Invalidate(nullptr, erase);
    }
}

bool Window::NeedsPaint() {
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (state_ == State::kGone || messageOnly || !(style_ & WS_VISIBLE)) {
            return false;
        }
    }
    return surface && surface->HasUpdate();
}

std::shared_ptr<Window> FindWindowObject(HWND hwnd) {
    WindowTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    auto it = table.windows.find(hwnd);
    if (it == table.windows.end() || it->second->GetState() == Window::State::kGone) {
        return nullptr;
    }
    return it->second;
}

void AddWindowObject(const std::shared_ptr<Window>& window) {
    window->windowClass->windows.fetch_add(1);
    WindowTable& table = Table();
    if (window->surface) {
        draw::Screen::Get();  // from the first window on, the screen saves itself at exit
    }
    std::lock_guard<std::mutex> guard(table.lock);
    table.windows[window->hwnd] = window;
}

void RemoveWindowObject(HWND hwnd) {
    std::shared_ptr<Window> removed;
    {
        WindowTable& table = Table();
        std::lock_guard<std::mutex> guard(table.lock);
        auto it = table.windows.find(hwnd);
        if (it == table.windows.end()) {
            return;
        }
        removed = std::move(it->second);
        table.windows.erase(it);
    }
    present::Current().Destroyed(hwnd);
    removed->windowClass->windows.fetch_sub(1);
}

std::vector<std::shared_ptr<Window>> RemoveWindowsOfThread(DWORD threadId) {
    std::vector<std::shared_ptr<Window>> removed;
    {
        WindowTable& table = Table();
        std::lock_guard<std::mutex> guard(table.lock);
        for (auto it = table.windows.begin(); it != table.windows.end();) {
            if (it->second->threadId == threadId) {
                removed.push_back(std::move(it->second));
                it = table.windows.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (const auto& window : removed) {
        present::Current().Destroyed(window->hwnd);
        window->windowClass->windows.fetch_sub(1);
    }
    std::sort(removed.begin(), removed.end(),
              [](const auto& a, const auto& b) { return a->sequence < b->sequence; });
    return removed;
}

std::shared_ptr<Window> OldestTopLevelWindowOf(DWORD threadId) {
    WindowTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    std::shared_ptr<Window> oldest;
    for (const auto& [hwnd, window] : table.windows) {
        if (window->threadId != threadId || window->messageOnly ||
            window->GetState() != Window::State::kLive) {
            continue;
        }
        if (!oldest || window->sequence < oldest->sequence) {
            oldest = window;
        }
    }
    return oldest;
}

LRESULT CallWindowProcedure(const std::shared_ptr<Window>& window, UINT message, WPARAM wParam,
                            LPARAM lParam) {
    WNDPROC procedure = window->Procedure();
    return procedure ? procedure(window->hwnd, message, wParam, lParam) : 0;
}

}  // namespace pal
