// The main window's skin as its paint handler draws it: the strips placed at their rectangles and
// drawn in the order left, right, top, bottom, then the buttons in the window's order.
#pragma once

#include "skin_button.h"
#include "skin_image.h"

struct SkinFrame {
    CSkinImage* left;
    CSkinImage* right;
    CSkinImage* top;
    CSkinImage* bottom;
    CSkinButton* buttons[4];  // close, minimise, help, feedback
};

void DrawSkinFrame(HDC dc, const SkinFrame& frame);
