// Where a skin picture goes: its rectangle, and the corner and size taken from it. The picture is
// drawn at (x, y) at its own size; width and height only record the rectangle's.
#pragma once

#include "windows.h"

struct SkinPlacement {
    RECT rect{};
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    void Set(const RECT& placement) {
        rect = placement;
        x = rect.left;
        y = rect.top;
        width = rect.right - rect.left;
        height = rect.bottom - rect.top;
    }
};
