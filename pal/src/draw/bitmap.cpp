#include "draw/bitmap.h"

#include <cstring>

namespace pal::draw {

std::shared_ptr<Bitmap> Bitmap::Create(int width, int height, Format format, bool bottomUp) {
    if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide) {
        return nullptr;
    }
    return std::make_shared<Bitmap>(width, height, format, bottomUp);
}

Bitmap::Bitmap(int w, int h, Format f, bool up)
    : GdiObject(kKind),
      width(w),
      height(h),
      format(f),
      bottomUp(up),
      memory(static_cast<size_t>(w) * h, 0) {
    surface = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(memory.data()),
        format == Format::kArgb ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24, w, h, w * 4);
}

Bitmap::~Bitmap() {
    cairo_surface_destroy(surface);
}

cairo_matrix_t Bitmap::Flip() const {
    cairo_matrix_t m;
    if (bottomUp) {
        cairo_matrix_init(&m, 1, 0, 0, -1, 0, height);
    } else {
        cairo_matrix_init_identity(&m);
    }
    return m;
}

uint32_t* Bitmap::Row(int y) {
    return memory.data() + static_cast<size_t>(bottomUp ? height - 1 - y : y) * width;
}

HBITMAP AddBitmap(std::shared_ptr<Bitmap> bitmap) {
    return static_cast<HBITMAP>(AddGdiObject(std::move(bitmap)));
}

}  // namespace pal::draw

using pal::draw::Bitmap;

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* pbmi, UINT usage, void** ppvBits, HANDLE hSection,
                         DWORD) {
    if (!pbmi || !ppvBits || hSection || usage != DIB_RGB_COLORS ||
        pbmi->bmiHeader.biBitCount != 32 || pbmi->bmiHeader.biCompression != BI_RGB ||
        pbmi->bmiHeader.biHeight == INT32_MIN) {
        if (ppvBits) {
            *ppvBits = nullptr;
        }
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const LONG height = pbmi->bmiHeader.biHeight;
    auto bitmap = Bitmap::Create(pbmi->bmiHeader.biWidth, height < 0 ? -height : height,
                                 Bitmap::Format::kArgb, height > 0);
    if (!bitmap) {
        *ppvBits = nullptr;
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    bitmap->dibSection = true;
    *ppvBits = bitmap->memory.data();
    return pal::draw::AddBitmap(std::move(bitmap));
}

// Differs from Windows: the bitmap is always 32-bit, also for a memory context whose placeholder
// bitmap is selected (Windows makes a monochrome one there).
HBITMAP CreateCompatibleBitmap(HDC, int cx, int cy) {
    auto bitmap = Bitmap::Create(cx, cy, Bitmap::Format::kArgb, false);
    if (!bitmap) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return pal::draw::AddBitmap(std::move(bitmap));
}
