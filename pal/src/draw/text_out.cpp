// Text: background mode and colours, fonts, TextOutA and GetTextExtentPoint32A, on pango.
#include <iconv.h>
#include <pango/pangocairo.h>

#include <cstring>
#include <string>

#include "draw/device_context.h"
#include "draw/font.h"

namespace pal::draw {
namespace {

// The narrow text as UTF-8, converted once per call; a byte that is no GBK character becomes
// U+FFFD.
std::string GbkToUtf8(const char* text, size_t length) {
    std::string out;
    iconv_t cd = iconv_open("UTF-8", "GBK");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return std::string(text, length);
    }
    char* in = const_cast<char*>(text);
    size_t inLeft = length;
    std::string buffer(length * 3 + 4, '\0');
    while (inLeft > 0) {
        char* dst = buffer.data();
        size_t outLeft = buffer.size();
        const size_t rc = iconv(cd, &in, &inLeft, &dst, &outLeft);
        out.append(buffer.data(), dst - buffer.data());
        if (rc == static_cast<size_t>(-1) && inLeft > 0) {
            out += "\xEF\xBF\xBD";
            ++in;
            --inLeft;
        }
    }
    iconv_close(cd);
    return out;
}

std::shared_ptr<Font> FontOf(const DeviceContext& dc) {
    auto font = FindGdi<Font>(dc.state.font);
    return font ? font : FindGdi<Font>(GetStockObject(SYSTEM_FONT));
}

// A layout of the text in the context's font; the caller frees it.
PangoLayout* MakeLayout(cairo_t* cr, const DeviceContext& dc, const char* text, int length) {
    PangoLayout* layout = pango_cairo_create_layout(cr);
    pango_layout_set_font_description(layout, FontOf(dc)->description);
    const std::string utf8 = GbkToUtf8(text, length < 0 ? 0 : static_cast<size_t>(length));
    pango_layout_set_text(layout, utf8.data(), static_cast<int>(utf8.size()));
    return layout;
}

SIZE Extent(PangoLayout* layout) {
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout, nullptr, &logical);
    return SIZE{logical.width, logical.height};
}

}  // namespace
}  // namespace pal::draw

using pal::draw::DeviceContext;

int SetBkMode(HDC hdc, int mode) {
    auto dc = pal::draw::FindDc(hdc);
    if (!dc || (mode != OPAQUE && mode != TRANSPARENT)) {
        SetLastError(dc ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return 0;
    }
    const int old = dc->state.bkMode;
    dc->state.bkMode = mode;
    return old;
}

int GetBkMode(HDC hdc) {
    auto dc = pal::draw::FindDc(hdc);
    return dc ? dc->state.bkMode : 0;
}

namespace {

// Sets one of the context's colours and returns the one it replaces.
COLORREF SwapColor(HDC hdc, COLORREF pal::draw::DcState::*field, COLORREF color) {
    auto dc = pal::draw::FindDc(hdc);
    if (!dc) {
        SetLastError(ERROR_INVALID_HANDLE);
        return CLR_INVALID;
    }
    const COLORREF old = dc->state.*field;
    dc->state.*field = color & 0xFFFFFF;
    return old;
}

}  // namespace

COLORREF SetBkColor(HDC hdc, COLORREF color) {
    return SwapColor(hdc, &pal::draw::DcState::bkColor, color);
}

COLORREF SetTextColor(HDC hdc, COLORREF color) {
    return SwapColor(hdc, &pal::draw::DcState::textColor, color);
}

// Differs from Windows: every face is the installed face with Chinese glyphs; only height,
// weight and italic are used.
HFONT CreateFontA(int cHeight, int, int, int, int cWeight, DWORD bItalic, DWORD, DWORD, DWORD,
                  DWORD, DWORD, DWORD, DWORD, LPCSTR pszFaceName) {
    return static_cast<HFONT>(pal::draw::AddGdiObject(std::make_shared<pal::draw::Font>(
        pszFaceName ? pszFaceName : "", cHeight, cWeight, bItalic != 0)));
}

// Differs from Windows: as CreateFontA.
HFONT CreateFontIndirectA(const LOGFONTA* lplf) {
    if (!lplf) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const std::string face(lplf->lfFaceName, strnlen(lplf->lfFaceName, LF_FACESIZE));
    return CreateFontA(lplf->lfHeight, 0, 0, 0, lplf->lfWeight, lplf->lfItalic, 0, 0, 0, 0, 0, 0, 0,
                       face.c_str());
}

// Differs from Windows: the cell is pango's logical extent of the line.
BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl) {
    auto dc = pal::draw::FindDc(hdc);
    if (!dc || !psizl || (c > 0 && !lpString)) {
        SetLastError(dc ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* cr = cairo_create(scratch);
    PangoLayout* layout = pal::draw::MakeLayout(cr, *dc, lpString, c);
    *psizl = pal::draw::Extent(layout);
    if (c <= 0) {
        psizl->cx = 0;
    }
    g_object_unref(layout);
    cairo_destroy(cr);
    cairo_surface_destroy(scratch);
    return TRUE;
}

// Differs from Windows: laid out by pango; bytes that are no GBK character draw as U+FFFD.
BOOL TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c) {
    auto dc = pal::draw::FindDc(hdc);
    if (!dc || (c > 0 && !lpString)) {
        SetLastError(dc ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (c <= 0) {
        return TRUE;
    }
    pal::draw::Drawing drawing(*dc);
    if (!drawing.cr) {
        return TRUE;
    }
    cairo_t* cr = drawing.cr;
    PangoLayout* layout = pal::draw::MakeLayout(cr, *dc, lpString, c);
    const SIZE size = pal::draw::Extent(layout);
    if (dc->state.bkMode == OPAQUE) {
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        pal::draw::SetSourceColor(cr, dc->state.bkColor);
        cairo_rectangle(cr, x, y, size.cx, size.cy);
        cairo_fill(cr);
    }
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    pal::draw::SetSourceColor(cr, dc->state.textColor);
    cairo_move_to(cr, x, y);
    pango_cairo_show_layout(cr, layout);
    g_object_unref(layout);
    drawing.Touch(x, y, size.cx, size.cy);
    return TRUE;
}
