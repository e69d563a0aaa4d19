#include "draw/region.h"

#include <algorithm>
#include <cmath>

#include "draw/device_context.h"

namespace pal::draw {

int RegionType(const cairo_region_t* region) {
    const int n = cairo_region_num_rectangles(region);
    return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

cairo_region_t* RoundRectPixels(int x1, int y1, int x2, int y2, int w, int h) {
    // The shape spans x1 .. x2 - 1 and y1 .. y2 - 1 (as on Windows, one pixel less than the
    // corners given); each row holds the pixels whose centres lie inside it.
    const double left = std::min(x1, x2), right = std::max(x1, x2) - 1;
    const double top = std::min(y1, y2), bottom = std::max(y1, y2) - 1;
    const double rx = std::min(std::abs(w) / 2.0, (right - left) / 2);
    const double ry = std::min(std::abs(h) / 2.0, (bottom - top) / 2);
    cairo_region_t* region = cairo_region_create();
    for (int y = static_cast<int>(top); y < bottom; ++y) {
        const double centre = y + 0.5;
        double dy = 0;
        if (centre < top + ry) {
            dy = top + ry - centre;
        } else if (centre > bottom - ry) {
            dy = centre - (bottom - ry);
        }
        double inset = 0;
        if (dy > 0 && ry > 0) {
            inset = rx - rx * std::sqrt(std::max(0.0, 1 - (dy / ry) * (dy / ry)));
        }
        const int from = static_cast<int>(std::ceil(left + inset - 0.5));
        const int to = static_cast<int>(std::floor(right - inset - 0.5));  // inclusive
        if (to >= from) {
            cairo_rectangle_int_t row{from, y, to - from + 1, 1};
            cairo_region_union_rectangle(region, &row);
        }
    }
    return region;
}

}  // namespace pal::draw

using pal::draw::Region;

namespace {

HRGN AddRegion(cairo_region_t* region) {
    return static_cast<HRGN>(pal::draw::AddGdiObject(std::make_shared<Region>(region)));
}

}  // namespace

HRGN CreateRectRgn(int x1, int y1, int x2, int y2) {
    cairo_rectangle_int_t r{std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1),
                            std::abs(y2 - y1)};
    return AddRegion(cairo_region_create_rectangle(&r));
}

// Differs from Windows: the corner pixels follow a pixel-centre rule, which may differ from
// Windows' own rasterisation of the ellipse by a pixel along the curve.
HRGN CreateRoundRectRgn(int x1, int y1, int x2, int y2, int w, int h) {
    return AddRegion(pal::draw::RoundRectPixels(x1, y1, x2, y2, w, h));
}

int CombineRgn(HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode) {
    auto dst = pal::draw::FindGdi<Region>(hrgnDst);
    auto src1 = pal::draw::FindGdi<Region>(hrgnSrc1);
    auto src2 = pal::draw::FindGdi<Region>(hrgnSrc2);
    if (!dst || !src1 || (iMode != RGN_COPY && !src2)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return ERROR;
    }
    cairo_region_t* result = cairo_region_copy(src1->region);
    cairo_status_t status = CAIRO_STATUS_SUCCESS;
    switch (iMode) {
        case RGN_COPY:
            break;
        case RGN_AND:
            status = cairo_region_intersect(result, src2->region);
            break;
        case RGN_OR:
            status = cairo_region_union(result, src2->region);
            break;
        case RGN_XOR:
            status = cairo_region_xor(result, src2->region);
            break;
        case RGN_DIFF:
            status = cairo_region_subtract(result, src2->region);
            break;
        default:
            status = CAIRO_STATUS_INVALID_INDEX;
    }
    if (status != CAIRO_STATUS_SUCCESS) {
        cairo_region_destroy(result);
        SetLastError(ERROR_INVALID_PARAMETER);
        return ERROR;
    }
    cairo_region_destroy(dst->region);
    dst->region = result;
    return pal::draw::RegionType(result);
}

BOOL PtInRegion(HRGN hrgn, int x, int y) {
    auto region = pal::draw::FindGdi<Region>(hrgn);
    return region && cairo_region_contains_point(region->region, x, y) ? TRUE : FALSE;
}

int GetRgnBox(HRGN hrgn, LPRECT lprc) {
    auto region = pal::draw::FindGdi<Region>(hrgn);
    if (!region || !lprc) {
        SetLastError(ERROR_INVALID_HANDLE);
        return ERROR;
    }
    cairo_rectangle_int_t box;
    cairo_region_get_extents(region->region, &box);
    *lprc = RECT{box.x, box.y, box.x + box.width, box.y + box.height};
    return pal::draw::RegionType(region->region);
}

int SelectClipRgn(HDC hdc, HRGN hrgn) {
    auto dc = pal::draw::FindDc(hdc);
    auto region = pal::draw::FindGdi<Region>(hrgn);
    if (!dc || (hrgn && !region)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return ERROR;
    }
    cairo_region_destroy(dc->state.clip);
    dc->state.clip = region ? cairo_region_copy(region->region) : nullptr;
    if (!dc->state.clip) {
        return SIMPLEREGION;
    }
    return pal::draw::RegionType(dc->state.clip);
}
