// Invalidation, GetDC and ReleaseDC, window regions and saving windows and the screen as PNG.
#include <algorithm>

#include "desktop/desktop_model.h"
#include "draw/device_context.h"
#include "draw/region.h"
#include "draw/screen.h"
#include "draw/window_dc.h"
#include "draw/window_place.h"
#include "window/ui_thread.h"
#include "window/window_object.h"
#include "x11/presenter.h"

namespace {

// The window when it has a surface, or null with ERROR_INVALID_WINDOW_HANDLE.
std::shared_ptr<pal::Window> TopLevel(HWND hWnd) {
    auto window = pal::FindWindowObject(hWnd);
    if (!window || !window->surface) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return window;
}

// The owner's thread takes WM_PAINT from its next look at the queue.
void Invalidate(const pal::Window& window, const RECT* rect, bool erase) {
    window.surface->Invalidate(rect, erase);
    window.thread->queue->Wake();
}

// The window and every window below it.
void InvalidateTree(HWND hwnd, bool erase) {
    for (HWND child : pal::Desktop::Get().Children(hwnd)) {
        InvalidateTree(child, erase);
    }
    if (auto window = pal::DesktopWindow(hwnd); window && window->surface) {
        Invalidate(*window, nullptr, erase);
    }
}

// The common part of a and b; false when they do not meet.
bool Meet(const RECT& a, const RECT& b, RECT* common) {
    *common = RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                   std::min(a.bottom, b.bottom)};
    return common->left < common->right && common->top < common->bottom;
}

// The window's rectangle r (null: all of it) and, unless it has WS_CLIPCHILDREN, each visible
// child's share of it in the child's coordinates, down the tree: a parent that does not clip its
// children paints over them, so they must repaint over it.
void InvalidateWithChildren(HWND hwnd, pal::Window& window, const RECT* rect, bool erase) {
    Invalidate(window, rect, erase);
    if (window.Style() & WS_CLIPCHILDREN) {
        return;
    }
    const cairo_rectangle_int_t box = window.surface->Area();
    RECT area{box.x, box.y, box.x + box.width, box.y + box.height};
    if (rect && !Meet(area, *rect, &area)) {
        return;
    }
    for (HWND child : pal::Desktop::Get().Children(hwnd)) {
        auto inner = pal::DesktopWindow(child);
        if (!inner || !inner->surface || !(inner->Style() & WS_VISIBLE)) {
            continue;
        }
        const RECT place = inner->Rect();
        RECT share;
        if (Meet(area, place, &share)) {
            share = RECT{share.left - place.left, share.top - place.top, share.right - place.left,
                         share.bottom - place.top};
            InvalidateWithChildren(child, *inner, &share, erase);
        }
    }
}

}  // namespace

BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
    if (!hWnd) {
        for (HWND top : pal::Desktop::Get().Children(nullptr)) {
            InvalidateTree(top, bErase != FALSE);  // every window, whatever the rectangle
        }
        return TRUE;
    }
    auto window = TopLevel(hWnd);
    if (!window) {
        return FALSE;
    }
    InvalidateWithChildren(hWnd, *window, lpRect, bErase != FALSE);
    return TRUE;
}

BOOL ValidateRect(HWND hWnd, const RECT* lpRect) {
    auto window = TopLevel(hWnd);
    if (!window) {
        return FALSE;
    }
    window->surface->Validate(lpRect);
    return TRUE;
}

BOOL UpdateWindow(HWND hWnd) {
    auto window = TopLevel(hWnd);
    if (!window) {
        return FALSE;
    }
    if (window->NeedsPaint()) {
        SendMessageA(hWnd, WM_PAINT, 0, 0);
    }
    return TRUE;
}

// Differs from Windows: bErase is not used.
BOOL GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL) {
    auto window = TopLevel(hWnd);
    if (!window) {
        return FALSE;
    }
    RECT box{};
    const bool any = window->surface->UpdateBox(&box);
    if (lpRect) {
        *lpRect = any ? box : RECT{0, 0, 0, 0};
    }
    return any ? TRUE : FALSE;
}

// Differs from Windows: the screen's context reads back only what was drawn on it.
HDC GetDC(HWND hWnd) {
    if (!hWnd) {
        return pal::draw::CreateScreenDc();
    }
    return TopLevel(hWnd) ? pal::draw::CreateWindowDc(hWnd, nullptr) : nullptr;
}

int ReleaseDC(HWND, HDC hDC) {
    return pal::draw::ReleaseWindowDc(hDC) ? 1 : 0;
}

int SetWindowRgn(HWND hWnd, HRGN hRgn, BOOL bRedraw) {
    auto window = TopLevel(hWnd);
    if (!window) {
        return 0;
    }
    cairo_region_t* taken = nullptr;
    if (hRgn) {
        auto region = pal::draw::FindGdi<pal::draw::Region>(hRgn);
        if (!region) {
            SetLastError(ERROR_INVALID_HANDLE);
            return 0;
        }
        taken = cairo_region_copy(region->region);
        pal::draw::RemoveGdiObject(hRgn);  // the window owns it now
    }
    window->surface->SetRegion(taken);
    pal::present::Current().Changed(hWnd);
    if (bRedraw) {
        Invalidate(*window, nullptr, true);
    }
    return 1;
}

int GetWindowRgn(HWND hWnd, HRGN hRgn) {
    auto window = TopLevel(hWnd);
    auto region = pal::draw::FindGdi<pal::draw::Region>(hRgn);
    if (!window || !region) {
        return ERROR;
    }
    cairo_region_t* copy = window->surface->CopyRegion();
    if (!copy) {
        return ERROR;
    }
    cairo_region_destroy(region->region);
    region->region = copy;
    return pal::draw::RegionType(copy);
}

// A child window's picture is its part of its top-level window's pixels. What the window's
// region cuts away does not show: it is transparent in the picture.
BOOL PalSaveWindowPngA(HWND hWnd, LPCSTR path) {
    auto window = TopLevel(hWnd);
    if (!window || !path) {
        return FALSE;
    }
    pal::draw::PaintPlace place = pal::draw::PlaceOf(hWnd);
    const cairo_rectangle_int_t area = window->surface->Area();
    auto picture = pal::draw::Bitmap::Create(std::max(1, area.width), std::max(1, area.height),
                                             pal::draw::Bitmap::Format::kArgb, false);
    if (!place.pixels || !picture) {
        return FALSE;
    }
    cairo_surface_flush(place.pixels->surface);
    cairo_t* cr = cairo_create(picture->surface);
    cairo_region_t* shape = window->surface->CopyShape();
    cairo_region_translate(shape, -place.originX, -place.originY);
    pal::draw::ClipTo(cr, shape);
    cairo_region_destroy(shape);
    cairo_set_source_surface(cr, place.pixels->surface, -place.originX, -place.originY);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_mark_dirty(picture->surface);
    return pal::draw::SavePng(*picture, path) ? TRUE : FALSE;
}

BOOL PalSaveScreenPngA(LPCSTR path) {
    return path && pal::draw::SavePng(*pal::draw::Screen::Get().Composite(), path) ? TRUE : FALSE;
}
