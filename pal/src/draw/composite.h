// The one compositing step under every blit: a rectangle of a source context (or of a surface
// made from it) drawn onto a rectangle of the destination context, scaled by nearest pixel.
#pragma once

#include "draw/device_context.h"

namespace pal::draw {

struct BlitRects {
    int dx, dy, dw, dh;  // destination, in its context's coordinates
    int sx, sy, sw, sh;  // source, in its context's coordinates (or the surface's own)
};

struct CompositeOp {
    cairo_operator_t op = CAIRO_OPERATOR_SOURCE;
    BYTE constantAlpha = 255;
    bool opaqueSource = false;  // the source's alpha is ignored (taken as 255)
};

// Draws src's rectangle onto dst. Only the part of the source inside its bitmap is drawn.
void Composite(DeviceContext& dst, DeviceContext& src, const BlitRects& rects,
               const CompositeOp& how);
// The same with a surface of its own as the source (its 0, 0 at the source rectangle's sx, sy).
void CompositeSurface(DeviceContext& dst, cairo_surface_t* surface, const BlitRects& rects,
                      const CompositeOp& how);

}  // namespace pal::draw
