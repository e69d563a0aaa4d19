// SelectObject, DeleteObject and GetObjectA.
#include <cstring>

#include "draw/bitmap.h"
#include "draw/brush.h"
#include "draw/device_context.h"
#include "draw/font.h"
#include "draw/region.h"

namespace {

using namespace pal::draw;

HGDIOBJ SelectBitmap(HDC hdc, DeviceContext& dc, HGDIOBJ handle,
                     const std::shared_ptr<Bitmap>& bitmap) {
    if (dc.type != DeviceContext::Type::kMemory ||
        (!bitmap->stock && bitmap->selectedInto && bitmap->selectedInto != hdc)) {
        return nullptr;
    }
    HGDIOBJ old = dc.state.bitmap;
    if (dc.target && !dc.target->stock) {
        dc.target->selectedInto = nullptr;
    }
    if (!bitmap->stock) {
        bitmap->selectedInto = hdc;
    }
    dc.target = bitmap;
    dc.state.bitmap = handle;
    return old;
}

}  // namespace

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h) {
    auto dc = FindDc(hdc);
    auto object = FindGdiObject(h);
    if (!dc || !object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    HGDIOBJ old = nullptr;
    switch (object->kind) {
        case GdiKind::kBitmap:
            return SelectBitmap(hdc, *dc, h, std::static_pointer_cast<Bitmap>(object));
        case GdiKind::kBrush:
            old = dc->state.brush;
            dc->state.brush = h;
            return old;
        case GdiKind::kFont:
            old = dc->state.font;
            dc->state.font = h;
            return old;
        case GdiKind::kRegion:
            return reinterpret_cast<HGDIOBJ>(
                static_cast<intptr_t>(SelectClipRgn(hdc, static_cast<HRGN>(h))));
        default:
            SetLastError(ERROR_INVALID_HANDLE);
            return nullptr;
    }
}

BOOL DeleteObject(HGDIOBJ ho) {
    auto object = FindGdiObject(ho);
    if (!object || object->kind == GdiKind::kDc || object->kind == GdiKind::kIcon) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (object->stock) {
        return TRUE;
    }
    if (object->kind == GdiKind::kBitmap &&
        std::static_pointer_cast<Bitmap>(object)->selectedInto) {
        return FALSE;
    }
    RemoveGdiObject(ho);
    return TRUE;
}

int GetObjectA(HANDLE h, int c, LPVOID pv) {
    auto bitmap = FindGdi<Bitmap>(h);
    if (!bitmap) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (!pv) {
        return sizeof(BITMAP);
    }
    if (c < static_cast<int>(sizeof(BITMAP))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    BITMAP info{};
    info.bmWidth = bitmap->width;
    info.bmHeight = bitmap->height;
    info.bmWidthBytes = bitmap->width * 4;
    info.bmPlanes = 1;
    info.bmBitsPixel = 32;
    info.bmBits = bitmap->dibSection ? bitmap->memory.data() : nullptr;
    std::memcpy(pv, &info, sizeof info);
    return sizeof(BITMAP);
}
