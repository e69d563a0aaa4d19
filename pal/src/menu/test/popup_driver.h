// For the popup menu tests: the client's tray menu, and a driver that waits (with a deadline)
// for the popup to open and then feeds it input through the layer's input entry.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "wait_until.h"
#include "windows.h"

namespace paltest {

// The tray menu's items, in order: show, minimise, separator, feedback, separator, exit.
inline HMENU MakeTrayPopup() {
    HMENU popup = CreatePopupMenu();
    AppendMenuA(popup, MF_STRING, 32775, PalGbk("显示主界面"));
    AppendMenuA(popup, MF_STRING, 32776, PalGbk("最  小  化"));
    AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(popup, MF_STRING, 32777, PalGbk("意见反馈"));
    AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(popup, MF_STRING, 32773, PalGbk("退  出"));
    return popup;
}

// The one popup open now, when there is exactly one.
inline bool OnePopupOpen(PalPopupMenu* open) {
    std::vector<PalPopupMenu> menus = PalOpenPopupMenus();
    if (menus.size() != 1) {
        return false;
    }
    *open = menus.front();
    return true;
}

inline POINT CentreOf(const RECT& rect) {
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// One piece of input for an open popup.
struct Action {
    enum class Kind { kClickItem, kClickAt, kRightClickItem, kMoveToItem, kKey };
    Kind kind;
    int value;  // the item's position, the key, or (kClickAt) x
    int y = 0;  // kClickAt
};

inline void Perform(const Action& action, const PalPopupMenu& open) {
    switch (action.kind) {
        case Action::Kind::kClickItem:
        case Action::Kind::kRightClickItem: {
            UINT button = action.kind == Action::Kind::kClickItem ? VK_LBUTTON : VK_RBUTTON;
            POINT p = CentreOf(open.items.at(action.value).rect);
            PalInputButton(button, TRUE, p.x, p.y);
            PalInputButton(button, FALSE, p.x, p.y);
            break;
        }
        case Action::Kind::kClickAt:
            PalInputButton(VK_LBUTTON, TRUE, action.value, action.y);
            PalInputButton(VK_LBUTTON, FALSE, action.value, action.y);
            break;
        case Action::Kind::kMoveToItem: {
            POINT p = CentreOf(open.items.at(action.value).rect);
            PalInputPointer(p.x, p.y);
            break;
        }
        case Action::Kind::kKey:
            PalInputKey(static_cast<UINT>(action.value), TRUE);
            PalInputKey(static_cast<UINT>(action.value), FALSE);
            break;
    }
}

// Drives a popup tracked on the calling thread from a timer of the owner: at the first tick
// that finds the popup open, `onOpen` runs once with it (or, given `UntilDone`, its step runs
// at every such tick until it returns true); a popup still open 5 seconds on is dismissed with
// Escape (and `timedOut` set), so a fault cannot hang the test.
class SameThreadDriver {
public:
    struct UntilDone {
        std::function<bool(const PalPopupMenu&)> step;
    };
    SameThreadDriver(HWND owner, UntilDone until) : owner_(owner), step_(std::move(until.step)) {
        Current() = this;
        start_ = std::chrono::steady_clock::now();
        SetTimer(owner_, kTimer, USER_TIMER_MINIMUM, &Tick);
    }
    SameThreadDriver(HWND owner, std::function<void(const PalPopupMenu&)> onOpen)
        : SameThreadDriver(owner, UntilDone{[onOpen = std::move(onOpen)](const PalPopupMenu& m) {
                               onOpen(m);
                               return true;
                           }}) {}
    ~SameThreadDriver() {
        KillTimer(owner_, kTimer);
        Current() = nullptr;
    }
    bool timedOut = false;
    bool ran = false;  // onOpen ran, or the step returned true

private:
    static constexpr UINT_PTR kTimer = 0x7e57;
    static SameThreadDriver*& Current() {
        static SameThreadDriver* current = nullptr;
        return current;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        SameThreadDriver* self = Current();
        PalPopupMenu open;
        if (!self || !OnePopupOpen(&open)) {
            return;
        }
        if (std::chrono::steady_clock::now() - self->start_ > std::chrono::seconds(5)) {
            self->timedOut = true;
            PalInputKey(VK_ESCAPE, TRUE);
            PalInputKey(VK_ESCAPE, FALSE);
        } else if (!self->ran) {
            self->ran = self->step_(open);
        }
    }

    HWND owner_;
    std::function<bool(const PalPopupMenu&)> step_;
    std::chrono::steady_clock::time_point start_;
};

// Presses Escape until no popup is open, level by level (with a deadline).
inline void DismissAll() {
    brtest::WaitUntil([] {
        if (PalOpenPopupMenus().empty()) {
            return true;
        }
        PalInputKey(VK_ESCAPE, TRUE);
        PalInputKey(VK_ESCAPE, FALSE);
        return false;
    });
}

// One step of a script for a menu with submenus: once exactly `open` levels are open, the
// action on the items of level `level` (0 the menu itself).
struct MenuStep {
    size_t open;
    size_t level;
    Action action;
};

// Runs a script from a thread of its own against the menu that the test's thread tracks, each
// step waiting (with a deadline) for its levels; then waits for the menu to end by itself. A
// step that waits in vain, or a menu that stays open, is dismissed level by level with Escape
// (and `Finished` false), so a fault cannot hang the test.
class ScriptDriver {
public:
    explicit ScriptDriver(std::vector<MenuStep> steps)
        : steps_(std::move(steps)), thread_([this] { Run(); }) {}
    ~ScriptDriver() { Join(); }
    void Join() {
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    // Every step was performed and the menu then ended without help; read after Join.
    bool Finished() const { return finished_; }

private:
    void Run() {
        bool performed = true;
        for (const MenuStep& step : steps_) {
            std::vector<PalPopupMenu> open;
            if (!brtest::WaitUntil([&] {
                    open = PalOpenPopupMenus();
                    return open.size() == step.open;
                })) {
                performed = false;
                break;
            }
            Perform(step.action, open.at(step.level));
        }
        bool ended = performed && brtest::WaitUntil([] { return PalOpenPopupMenus().empty(); });
        if (!ended) {
            DismissAll();
        }
        finished_ = ended;
    }

    std::vector<MenuStep> steps_;
    std::atomic<bool> finished_{false};
    std::thread thread_;
};

}  // namespace paltest
