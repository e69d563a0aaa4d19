#include "draw/brush.h"

#include <array>

#include "draw/bitmap.h"
#include "draw/device_context.h"
#include "draw/font.h"

namespace pal::draw {
namespace {

struct SysColor {
    int index;
    COLORREF color;
};

// The colours of the classic Windows scheme for the indexes the system uses.
constexpr SysColor kSysColors[] = {
    {COLOR_SCROLLBAR, RGB(200, 200, 200)}, {COLOR_BACKGROUND, RGB(0, 0, 0)},
    {COLOR_MENU, RGB(240, 240, 240)},      {COLOR_WINDOW, RGB(255, 255, 255)},
    {COLOR_WINDOWTEXT, RGB(0, 0, 0)},      {COLOR_BTNFACE, RGB(240, 240, 240)},
    {COLOR_BTNTEXT, RGB(0, 0, 0)},
};

bool FindSysColor(int index, COLORREF* color) {
    for (const SysColor& entry : kSysColors) {
        if (entry.index == index) {
            *color = entry.color;
            return true;
        }
    }
    return false;
}

struct StockObject {
    int index;
    HGDIOBJ handle;
};

std::vector<StockObject> MakeStockObjects() {
    auto brush = [](int index, COLORREF color, bool hollow = false) {
        auto object = std::make_shared<Brush>(color, hollow);
        object->stock = true;
        return StockObject{index, AddGdiObject(object)};
    };
    std::vector<StockObject> objects = {
        brush(WHITE_BRUSH, RGB(255, 255, 255)), brush(LTGRAY_BRUSH, RGB(192, 192, 192)),
        brush(GRAY_BRUSH, RGB(128, 128, 128)),  brush(DKGRAY_BRUSH, RGB(64, 64, 64)),
        brush(BLACK_BRUSH, RGB(0, 0, 0)),       brush(NULL_BRUSH, 0, true),
    };
    for (int index : {SYSTEM_FONT, DEFAULT_GUI_FONT}) {
        auto font = DefaultFont();
        font->stock = true;
        objects.push_back({index, AddGdiObject(font)});
    }
    auto placeholder = Bitmap::Create(1, 1, Bitmap::Format::kArgb, false);
    placeholder->stock = true;
    objects.push_back({-1, AddGdiObject(placeholder)});
    return objects;
}

const std::vector<StockObject>& StockObjects() {
    static const std::vector<StockObject>* objects =
        new std::vector<StockObject>(MakeStockObjects());
    return *objects;
}

HGDIOBJ Stock(int index) {
    for (const StockObject& object : StockObjects()) {
        if (object.index == index) {
            return object.handle;
        }
    }
    return nullptr;
}

}  // namespace

bool BrushColor(HBRUSH brush, COLORREF* color, bool* paints) {
    const uintptr_t value = reinterpret_cast<uintptr_t>(brush);
    if (value > 0 && value <= 31) {
        *paints = true;
        return FindSysColor(static_cast<int>(value - 1), color);
    }
    auto object = FindGdi<Brush>(brush);
    if (!object) {
        return false;
    }
    *color = object->color;
    *paints = !object->null;
    return true;
}

HGDIOBJ PlaceholderBitmap() {
    return Stock(-1);
}

}  // namespace pal::draw

DWORD GetSysColor(int nIndex) {
    COLORREF color = 0;
    pal::draw::FindSysColor(nIndex, &color);
    return color;
}

HGDIOBJ GetStockObject(int i) {
    return i < 0 ? nullptr : pal::draw::Stock(i);
}

HBRUSH CreateSolidBrush(COLORREF color) {
    return static_cast<HBRUSH>(
        pal::draw::AddGdiObject(std::make_shared<pal::draw::Brush>(color & 0xFFFFFF)));
}

// Differs from Windows: the pixels filled are opaque (alpha 255) also in a 32-bit section.
int FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
    auto dc = pal::draw::FindDc(hDC);
    COLORREF color = 0;
    bool paints = false;
    if (!dc || !lprc || !pal::draw::BrushColor(hbr, &color, &paints)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!paints || lprc->right <= lprc->left || lprc->bottom <= lprc->top) {
        return TRUE;
    }
    pal::draw::Drawing drawing(*dc);
    if (drawing.cr) {
        cairo_set_operator(drawing.cr, CAIRO_OPERATOR_SOURCE);
        pal::draw::SetSourceColor(drawing.cr, color);
        const double w = lprc->right - lprc->left, h = lprc->bottom - lprc->top;
        cairo_rectangle(drawing.cr, lprc->left, lprc->top, w, h);
        cairo_fill(drawing.cr);
        drawing.Touch(lprc->left, lprc->top, w, h);
    }
    return TRUE;
}
