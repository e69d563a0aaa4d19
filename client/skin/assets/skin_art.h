// The drawings of the main window's skin and the program icon, on cairo: each function paints one
// picture onto a surface of the size the main window places it at.
#pragma once

#include <cairo.h>

namespace skin_art {

// The looks of a title-bar button, in the order of its state images (N, S, F, D).
enum class Look { Normal, Pressed, Hover, Fourth };

// The four buttons of the top strip.
enum class Glyph { Close, Minimise, Help, Feedback };

// The top strip with the product name; the side strips; the bottom strip.
void DrawTop(cairo_t* cr, int width, int height);
void DrawSide(cairo_t* cr, int width, int height);
void DrawBottom(cairo_t* cr, int width, int height);

// One button's look on a transparent ground: only the button's shape has alpha.
void DrawButton(cairo_t* cr, int width, int height, Glyph glyph, Look look);

// The program icon: a record with the product's initials, on a transparent ground.
void DrawIcon(cairo_t* cr, int size);

}  // namespace skin_art
