// Solid brushes, system colours and the stock objects.
#pragma once

#include "draw/gdi_object.h"

namespace pal::draw {

struct Brush : GdiObject {
    static constexpr GdiKind kKind = GdiKind::kBrush;
    explicit Brush(COLORREF c, bool hollow = false) : GdiObject(kKind), color(c), null(hollow) {}
    const COLORREF color;
    const bool null;  // NULL_BRUSH paints nothing
};

// The colour a brush handle paints: a brush, or a system colour index plus one. False for an
// unknown handle; *paints is false for the null brush.
bool BrushColor(HBRUSH brush, COLORREF* color, bool* paints);

// The 1 x 1 bitmap that a new memory context has selected.
HGDIOBJ PlaceholderBitmap();

}  // namespace pal::draw
