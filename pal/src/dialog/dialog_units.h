// Dialog units: the base units of a dialog's font and the conversion to pixels (pal/dialog.h
// says how they are defined).
#pragma once

#include "windows.h"

namespace pal::dialog {

struct BaseUnits {
    int x;  // the average character width, pixels
    int y;  // the character height, pixels
};

// The base units of the font (NULL: the layer's default font).
BaseUnits MeasureBaseUnits(HFONT font);
// value * numerator / denominator, rounded to the nearest integer, halves away from zero.
int Scale(int value, int numerator, int denominator);
// Each of the four values in pixels (x values horizontally, y values vertically).
RECT ToPixels(const BaseUnits& units, RECT rect);
// A place and size in dialog units as a rectangle in pixels: the size is converted on its own,
// so a control's size does not depend on where it is.
RECT PlaceToPixels(const BaseUnits& units, int x, int y, int cx, int cy);

}  // namespace pal::dialog
