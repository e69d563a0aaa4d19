// Where the main window places its skin: the window's size, the frame strips and the title-bar
// buttons, in client coordinates (left, top, right, bottom). The skin's pictures are drawn at
// these sizes, and the window places and hit-tests them here.
#pragma once

#include "windows.h"

namespace skin_layout {

constexpr int kWindowWidth = 822;
constexpr int kWindowHeight = 621;

// The frame strips, drawn in this order: left, right, top, bottom.
constexpr RECT kLeft = {0, 0, 4, 621};
constexpr RECT kRight = {818, 0, 822, 621};
constexpr RECT kTop = {0, 0, 822, 37};
constexpr RECT kBottom = {0, 617, 822, 621};

// The area the Flash control covers, inside the frame.
constexpr RECT kFlashArea = {4, 37, 818, 617};

// The title-bar buttons, in the window's order.
constexpr RECT kClose = {792, 2, 819, 27};
constexpr RECT kMin = {761, 2, 789, 27};
constexpr RECT kHelp = {730, 2, 758, 27};
constexpr RECT kFeedback = {658, 2, 727, 27};

constexpr int Width(const RECT& r) {
    return r.right - r.left;
}
constexpr int Height(const RECT& r) {
    return r.bottom - r.top;
}

}  // namespace skin_layout
