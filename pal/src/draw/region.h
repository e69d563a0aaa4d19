// Regions: sets of pixels, held as cairo regions (bands of rectangles).
#pragma once

#include <cairo.h>

#include "draw/gdi_object.h"

namespace pal::draw {

struct Region : GdiObject {
    static constexpr GdiKind kKind = GdiKind::kRegion;
    explicit Region(cairo_region_t* r) : GdiObject(kKind), region(r) {}
    ~Region() override { cairo_region_destroy(region); }
    cairo_region_t* region;  // owned
};

// NULLREGION, SIMPLEREGION or COMPLEXREGION.
int RegionType(const cairo_region_t* region);
// A new region with the rounded rectangle's pixels.
cairo_region_t* RoundRectPixels(int x1, int y1, int x2, int y2, int w, int h);

}  // namespace pal::draw
