#include "draw/composite.h"

#include <algorithm>
#include <cmath>

namespace pal::draw {
namespace {

// An owned reference to a cairo surface.
struct SurfaceRef {
    explicit SurfaceRef(cairo_surface_t* s) : surface(s) {}
    ~SurfaceRef() { cairo_surface_destroy(surface); }
    SurfaceRef(const SurfaceRef&) = delete;
    SurfaceRef& operator=(const SurfaceRef&) = delete;
    cairo_surface_t* surface;
};

// A copy of the bitmap's pixels, for a blit whose source and destination are the same bitmap.
cairo_surface_t* Snapshot(Bitmap& bitmap) {
    cairo_surface_t* copy =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, bitmap.width, bitmap.height);
    cairo_t* cr = cairo_create(copy);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, bitmap.surface, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    return copy;
}

// The same pixels read as opaque: a view of the surface's memory whose alpha byte is ignored.
cairo_surface_t* OpaqueView(cairo_surface_t* surface) {
    cairo_surface_flush(surface);
    return cairo_image_surface_create_for_data(
        cairo_image_surface_get_data(surface), CAIRO_FORMAT_RGB24,
        cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface),
        cairo_image_surface_get_stride(surface));
}

// Paints `surface` through the pattern matrix `toSurface` (destination user space to surface
// pixels), clipped to the destination rectangle and to the part of it that the source's bounds
// (sx0 .. sx1, sy0 .. sy1 in source-rectangle coordinates) map to.
void Paint(DeviceContext& dst, cairo_surface_t* surface, const cairo_matrix_t& toSurface,
           const BlitRects& r, double sx0, double sy0, double sx1, double sy1,
           const CompositeOp& how) {
    const double scaleX = static_cast<double>(r.dw) / r.sw;
    const double scaleY = static_cast<double>(r.dh) / r.sh;
    const double x0 = std::max<double>(r.dx, std::round(r.dx + (sx0 - r.sx) * scaleX));
    const double y0 = std::max<double>(r.dy, std::round(r.dy + (sy0 - r.sy) * scaleY));
    const double x1 = std::min<double>(r.dx + r.dw, std::round(r.dx + (sx1 - r.sx) * scaleX));
    const double y1 = std::min<double>(r.dy + r.dh, std::round(r.dy + (sy1 - r.sy) * scaleY));
    if (x1 <= x0 || y1 <= y0) {
        return;
    }
    // A blit wholly outside what the context may touch (a repaint of one button, say) costs no
    // cairo work at all.
    if (dst.limit && !dst.target->bottomUp) {
        const cairo_rectangle_int_t box{static_cast<int>(x0) + dst.originX,
                                        static_cast<int>(y0) + dst.originY,
                                        static_cast<int>(x1 - x0), static_cast<int>(y1 - y0)};
        if (cairo_region_contains_rectangle(dst.limit, &box) == CAIRO_REGION_OVERLAP_OUT) {
            return;
        }
    }
    const cairo_rectangle_int_t box{static_cast<int>(x0), static_cast<int>(y0),
                                    static_cast<int>(x1 - x0), static_cast<int>(y1 - y0)};
    Drawing drawing(dst, &box);
    if (!drawing.cr) {
        return;
    }
    cairo_t* cr = drawing.cr;
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(surface);
    cairo_pattern_set_matrix(pattern, &toSurface);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
    cairo_set_source(cr, pattern);
    cairo_pattern_destroy(pattern);
    cairo_set_operator(cr, how.op);
    if (how.constantAlpha == 255) {
        cairo_paint(cr);
    } else {
        cairo_paint_with_alpha(cr, how.constantAlpha / 255.0);
    }
    drawing.Touch(x0, y0, x1 - x0, y1 - y0);
}

// Destination user space to source-rectangle space: the scale and offset of the blit.
cairo_matrix_t DestToSource(const BlitRects& r) {
    cairo_matrix_t m, step;
    cairo_matrix_init_translate(&m, -r.dx, -r.dy);
    cairo_matrix_init_scale(&step, static_cast<double>(r.sw) / r.dw,
                            static_cast<double>(r.sh) / r.dh);
    cairo_matrix_multiply(&m, &m, &step);
    cairo_matrix_init_translate(&step, r.sx, r.sy);
    cairo_matrix_multiply(&m, &m, &step);
    return m;
}

// The destination rectangle lies wholly outside what the context may touch: a blit there (most
// of a repaint of one button, say) needs neither the source prepared nor cairo.
bool OutsideLimit(const DeviceContext& dst, const BlitRects& r) {
    if (!dst.limit || dst.target->bottomUp || r.dw <= 0 || r.dh <= 0) {
        return false;
    }
    const cairo_rectangle_int_t box{r.dx + dst.originX, r.dy + dst.originY, r.dw, r.dh};
    return cairo_region_contains_rectangle(dst.limit, &box) == CAIRO_REGION_OVERLAP_OUT;
}

}  // namespace

void Composite(DeviceContext& dst, DeviceContext& src, const BlitRects& r, const CompositeOp& how) {
    if (!src.target || !dst.target || OutsideLimit(dst, r)) {
        return;
    }
    Bitmap& bitmap = *src.target;
    cairo_surface_flush(bitmap.surface);
    cairo_surface_mark_dirty(bitmap.surface);  // the caller may have written the bits directly
    SurfaceRef snapshot(src.target == dst.target ? Snapshot(bitmap)
                                                 : cairo_surface_reference(bitmap.surface));
    SurfaceRef source(how.opaqueSource ? OpaqueView(snapshot.surface)
                                       : cairo_surface_reference(snapshot.surface));
    cairo_matrix_t m = DestToSource(r), step;
    cairo_matrix_init_translate(&step, src.originX, src.originY);
    cairo_matrix_multiply(&m, &m, &step);
    const cairo_matrix_t flip = bitmap.Flip();
    cairo_matrix_multiply(&m, &m, &flip);
    Paint(dst, source.surface, m, r, -src.originX, -src.originY, bitmap.width - src.originX,
          bitmap.height - src.originY, how);
}

void CompositeSurface(DeviceContext& dst, cairo_surface_t* surface, const BlitRects& r,
                      const CompositeOp& how) {
    if (!dst.target || OutsideLimit(dst, r)) {
        return;
    }
    cairo_matrix_t m = DestToSource(r), step;
    cairo_matrix_init_translate(&step, -r.sx, -r.sy);
    cairo_matrix_multiply(&m, &m, &step);
    Paint(dst, surface, m, r, r.sx, r.sy, r.sx + cairo_image_surface_get_width(surface),
          r.sy + cairo_image_surface_get_height(surface), how);
}

}  // namespace pal::draw
