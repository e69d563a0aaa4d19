// Icons made from PNG files, and DrawIcon, DrawIconEx.
#include "draw/icon.h"

#include "draw/composite.h"
#include "draw/png_bitmap.h"

namespace pal::draw {
namespace {

struct Icon : GdiObject {
    static constexpr GdiKind kKind = GdiKind::kIcon;
    explicit Icon(std::shared_ptr<Bitmap> b) : GdiObject(kKind), image(std::move(b)) {}
    const std::shared_ptr<Bitmap> image;
};

}  // namespace

std::shared_ptr<Bitmap> IconImage(HICON icon) {
    auto found = FindGdi<Icon>(icon);
    return found ? found->image : nullptr;
}

}  // namespace pal::draw

using pal::draw::Icon;

HICON PalLoadIconPngA(LPCSTR path) {
    auto bitmap = pal::draw::LoadPngBitmap(path, nullptr);
    if (!bitmap) {
        return nullptr;
    }
    return static_cast<HICON>(pal::draw::AddGdiObject(std::make_shared<Icon>(std::move(bitmap))));
}

BOOL PalGetIconSize(HICON hIcon, int* cx, int* cy) {
    auto icon = pal::draw::FindGdi<Icon>(hIcon);
    if (!icon) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    *cx = icon->image->width;
    *cy = icon->image->height;
    return TRUE;
}

BOOL DestroyIcon(HICON hIcon) {
    if (!pal::draw::FindGdi<Icon>(hIcon)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return pal::draw::RemoveGdiObject(hIcon) ? TRUE : FALSE;
}

// Differs from Windows: draws at the icon's own size, not the system's icon size.
BOOL DrawIcon(HDC hDC, int X, int Y, HICON hIcon) {
    return DrawIconEx(hDC, X, Y, hIcon, 0, 0, 0, nullptr, DI_NORMAL);
}

// Differs from Windows: DI_DEFAULTSIZE and DrawIcon draw at the icon's own size, not the
// system's icon size.
BOOL DrawIconEx(HDC hdc, int xLeft, int yTop, HICON hIcon, int cxWidth, int cyWidth, UINT, HBRUSH,
                UINT diFlags) {
    auto dc = pal::draw::FindDc(hdc);
    auto icon = pal::draw::FindGdi<Icon>(hIcon);
    if (!dc || !icon) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if ((diFlags & DI_IMAGE) == 0) {
        return TRUE;
    }
    const int w = icon->image->width, h = icon->image->height;
    pal::draw::CompositeSurface(*dc, icon->image->surface,
                                pal::draw::BlitRects{xLeft, yTop, cxWidth > 0 ? cxWidth : w,
                                                     cyWidth > 0 ? cyWidth : h, 0, 0, w, h},
                                pal::draw::CompositeOp{CAIRO_OPERATOR_OVER, 255, false});
    return TRUE;
}
