#include "draw/device_context.h"

#include <algorithm>
#include <cmath>

#include "draw/brush.h"
#include "draw/font.h"

namespace pal::draw {

DeviceContext::DeviceContext() : GdiObject(kKind) {}

DeviceContext::~DeviceContext() {
    cairo_region_destroy(limit);
    cairo_region_destroy(state.clip);
    for (DcState& s : saved) {
        cairo_region_destroy(s.clip);
    }
}

HDC AddDc(std::shared_ptr<DeviceContext> dc) {
    return static_cast<HDC>(AddGdiObject(std::move(dc)));
}

std::shared_ptr<DeviceContext> FindDc(HDC hdc) {
    return FindGdi<DeviceContext>(hdc);
}

void RemoveDc(HDC hdc) {
    auto dc = FindDc(hdc);
    if (!dc) {
        return;
    }
    if (dc->type == DeviceContext::Type::kMemory && dc->target) {
        dc->target->selectedInto = nullptr;
    }
    RemoveGdiObject(hdc);
}

void ClipTo(cairo_t* cr, const cairo_region_t* region) {
    const int n = cairo_region_num_rectangles(region);
    for (int i = 0; i < n; ++i) {
        cairo_rectangle_int_t r;
        cairo_region_get_rectangle(region, i, &r);
        cairo_rectangle(cr, r.x, r.y, r.width, r.height);
    }
    cairo_clip(cr);
}

Drawing::Drawing(DeviceContext& d, const cairo_rectangle_int_t* box) : dc(d) {
    if (!dc.target) {
        return;
    }
    cr = cairo_create(dc.target->surface);
    const cairo_matrix_t flip = dc.target->Flip();
    cairo_set_matrix(cr, &flip);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    if (box) {
        // One clip for the limit and the call's box: cairo composites a single region fastest.
        const cairo_rectangle_int_t all{0, 0, dc.target->width, dc.target->height};
        cairo_region_t* part =
            dc.limit ? cairo_region_copy(dc.limit) : cairo_region_create_rectangle(&all);
        const cairo_rectangle_int_t onTarget{box->x + dc.originX, box->y + dc.originY, box->width,
                                             box->height};
        cairo_region_intersect_rectangle(part, &onTarget);
        ClipTo(cr, part);
        cairo_region_destroy(part);
    } else if (dc.limit) {
        ClipTo(cr, dc.limit);
    }
    cairo_translate(cr, dc.originX, dc.originY);
    if (dc.state.clip) {
        ClipTo(cr, dc.state.clip);
    }
}

void Drawing::Touch(double x, double y, double w, double h) {
    if (!touched_) {
        x0_ = x, y0_ = y, x1_ = x + w, y1_ = y + h;
        touched_ = true;
        return;
    }
    x0_ = std::min(x0_, x), y0_ = std::min(y0_, y);
    x1_ = std::max(x1_, x + w), y1_ = std::max(y1_, y + h);
}

Drawing::~Drawing() {
    if (!cr) {
        return;
    }
    cairo_destroy(cr);
    cairo_surface_mark_dirty(dc.target->surface);
    if (touched_ && dc.onDrawn) {
        const int x = static_cast<int>(std::floor(x0_)) + dc.originX;
        const int y = static_cast<int>(std::floor(y0_)) + dc.originY;
        cairo_rectangle_int_t r{x, y, static_cast<int>(std::ceil(x1_)) + dc.originX - x,
                                static_cast<int>(std::ceil(y1_)) + dc.originY - y};
        dc.onDrawn(r);
    }
}

uint32_t OpaquePixel(COLORREF color) {
    return 0xFF000000u | GetRValue(color) << 16 | GetGValue(color) << 8 | GetBValue(color);
}

void SetSourceColor(cairo_t* cr, COLORREF color) {
    cairo_set_source_rgb(cr, GetRValue(color) / 255.0, GetGValue(color) / 255.0,
                         GetBValue(color) / 255.0);
}

}  // namespace pal::draw

using pal::draw::Bitmap;
using pal::draw::DeviceContext;

HDC CreateCompatibleDC(HDC) {
    auto dc = std::make_shared<DeviceContext>();
    dc->state.bitmap = pal::draw::PlaceholderBitmap();
    dc->target = pal::draw::FindGdi<Bitmap>(dc->state.bitmap);
    dc->state.brush = GetStockObject(WHITE_BRUSH);
    dc->state.font = GetStockObject(SYSTEM_FONT);
    return pal::draw::AddDc(std::move(dc));
}

BOOL DeleteDC(HDC hdc) {
    auto dc = pal::draw::FindDc(hdc);
    if (!dc || dc->type != DeviceContext::Type::kMemory) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    pal::draw::RemoveDc(hdc);
    return TRUE;
}

int SaveDC(HDC hdc) {
    auto dc = pal::draw::FindDc(hdc);
    if (!dc) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    pal::draw::DcState copy = dc->state;
    copy.clip = copy.clip ? cairo_region_copy(copy.clip) : nullptr;
    dc->saved.push_back(copy);
    return static_cast<int>(dc->saved.size());
}

BOOL RestoreDC(HDC hdc, int nSavedDC) {
    auto dc = pal::draw::FindDc(hdc);
    if (!dc) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    const int depth = static_cast<int>(dc->saved.size());
    const int level = nSavedDC < 0 ? depth + 1 + nSavedDC : nSavedDC;
    if (level < 1 || level > depth) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    pal::draw::DcState restored = dc->saved[level - 1];
    for (int i = level; i < depth; ++i) {
        cairo_region_destroy(dc->saved[i].clip);
    }
    dc->saved.resize(level - 1);
    // The bitmap is put back through SelectObject so that its ownership follows.
    if (dc->type == DeviceContext::Type::kMemory && restored.bitmap != dc->state.bitmap) {
        SelectObject(hdc, restored.bitmap);
    }
    restored.bitmap = dc->state.bitmap;
    cairo_region_destroy(dc->state.clip);
    dc->state = restored;
    return TRUE;
}
