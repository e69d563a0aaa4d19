// BitBlt, StretchBlt, AlphaBlend and TransparentBlt.
#include <vector>

#include "draw/composite.h"

namespace {

using pal::draw::BlitRects;
using pal::draw::CompositeOp;
using pal::draw::DeviceContext;

bool FindPair(HDC dst, HDC src, std::shared_ptr<DeviceContext>* d,
              std::shared_ptr<DeviceContext>* s) {
    *d = pal::draw::FindDc(dst);
    *s = pal::draw::FindDc(src);
    if (!*d || !*s) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    return true;
}

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

}  // namespace

// Differs from Windows: SRCCOPY is the only raster operation.
BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
    return StretchBlt(hdc, x, y, cx, cy, hdcSrc, x1, y1, cx, cy, rop);
}

// Differs from Windows: SRCCOPY only, and negative extents (mirroring) are refused.
BOOL StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc,
                int ySrc, int wSrc, int hSrc, DWORD rop) {
    std::shared_ptr<DeviceContext> dst, src;
    if (!FindPair(hdcDest, hdcSrc, &dst, &src)) {
        return FALSE;
    }
    if (rop != SRCCOPY) {
        return Fail(ERROR_NOT_SUPPORTED);
    }
    if (wDest < 0 || hDest < 0 || wSrc < 0 || hSrc < 0) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (wDest == 0 || hDest == 0 || wSrc == 0 || hSrc == 0) {
        return TRUE;
    }
    pal::draw::Composite(*dst, *src, BlitRects{xDest, yDest, wDest, hDest, xSrc, ySrc, wSrc, hSrc},
                         CompositeOp{});
    return TRUE;
}

// Differs from Windows: the rounding is cairo's exact rounding to nearest (draw.h), where
// Windows' may differ by one in a channel.
BOOL AlphaBlend(HDC hdcDest, int xoriginDest, int yoriginDest, int wDest, int hDest, HDC hdcSrc,
                int xoriginSrc, int yoriginSrc, int wSrc, int hSrc, BLENDFUNCTION ftn) {
    std::shared_ptr<DeviceContext> dst, src;
    if (!FindPair(hdcDest, hdcSrc, &dst, &src)) {
        return FALSE;
    }
    if (ftn.BlendOp != AC_SRC_OVER || ftn.BlendFlags != 0 ||
        (ftn.AlphaFormat & ~AC_SRC_ALPHA) != 0 || wDest < 0 || hDest < 0 || wSrc < 0 || hSrc < 0 ||
        !src->target) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    const int left = xoriginSrc + src->originX, top = yoriginSrc + src->originY;
    if (left < 0 || top < 0 || left + wSrc > src->target->width ||
        top + hSrc > src->target->height) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (wDest == 0 || hDest == 0 || wSrc == 0 || hSrc == 0) {
        return TRUE;
    }
    CompositeOp how{CAIRO_OPERATOR_OVER, ftn.SourceConstantAlpha,
                    (ftn.AlphaFormat & AC_SRC_ALPHA) == 0};
    pal::draw::Composite(
        *dst, *src,
        BlitRects{xoriginDest, yoriginDest, wDest, hDest, xoriginSrc, yoriginSrc, wSrc, hSrc}, how);
    return TRUE;
}

BOOL TransparentBlt(HDC hdcDest, int xoriginDest, int yoriginDest, int wDest, int hDest, HDC hdcSrc,
                    int xoriginSrc, int yoriginSrc, int wSrc, int hSrc, UINT crTransparent) {
    std::shared_ptr<DeviceContext> dst, src;
    if (!FindPair(hdcDest, hdcSrc, &dst, &src)) {
        return FALSE;
    }
    if (wDest <= 0 || hDest <= 0 || wSrc <= 0 || hSrc <= 0) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (!src->target) {
        return TRUE;
    }
    // The source rectangle as a surface of its own: the transparent colour (and whatever lies
    // outside the source bitmap) fully transparent, every other pixel opaque.
    pal::draw::Bitmap& bitmap = *src->target;
    cairo_surface_flush(bitmap.surface);
    const uint32_t key = pal::draw::OpaquePixel(crTransparent) & 0xFFFFFF;
    std::vector<uint32_t> pixels(static_cast<size_t>(wSrc) * hSrc, 0);
    for (int y = 0; y < hSrc; ++y) {
        const int by = yoriginSrc + src->originY + y;
        if (by < 0 || by >= bitmap.height) {
            continue;
        }
        for (int x = 0; x < wSrc; ++x) {
            const int bx = xoriginSrc + src->originX + x;
            if (bx < 0 || bx >= bitmap.width) {
                continue;
            }
            const uint32_t colour = bitmap.Pixel(bx, by) & 0xFFFFFF;
            pixels[static_cast<size_t>(y) * wSrc + x] = colour == key ? 0 : colour | 0xFF000000u;
        }
    }
    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(pixels.data()), CAIRO_FORMAT_ARGB32, wSrc, hSrc, wSrc * 4);
    pal::draw::CompositeSurface(
        *dst, surface,
        BlitRects{xoriginDest, yoriginDest, wDest, hDest, xoriginSrc, yoriginSrc, wSrc, hSrc},
        CompositeOp{CAIRO_OPERATOR_OVER, 255, false});
    cairo_surface_destroy(surface);
    return TRUE;
}
