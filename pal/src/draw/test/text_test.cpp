#include <gtest/gtest.h>
#include <pango/pangocairo.h>

#include <cstring>
#include <vector>

#include "draw/test/memory_dc.h"

namespace pal {
namespace {

using test::MemoryDc;

constexpr uint32_t kBackground = 0xFF204080;
constexpr COLORREF kGreen = RGB(0, 255, 0);

// Pixels of a w x h area from the top-left corner.
std::vector<uint32_t> Area(MemoryDc& dc, int w, int h) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            pixels.push_back(dc.At(x, y));
        }
    }
    return pixels;
}

int Count(const std::vector<uint32_t>& pixels, uint32_t pixel) {
    int n = 0;
    for (uint32_t p : pixels) {
        n += p == pixel ? 1 : 0;
    }
    return n;
}

TEST(TextTest, OpaqueModeFillsTheCellTransparentModeLeavesIt) {
    const char* text = "Hi";
    for (int mode : {OPAQUE, TRANSPARENT}) {
        MemoryDc dc(60, 30);
        dc.Fill(kBackground);
        EXPECT_EQ(SetBkMode(dc.dc(), mode), OPAQUE);  // the default
        EXPECT_EQ(SetBkColor(dc.dc(), kGreen), RGB(255, 255, 255));
        EXPECT_EQ(SetTextColor(dc.dc(), RGB(255, 255, 255)), RGB(0, 0, 0));
        SIZE size{};
        ASSERT_TRUE(GetTextExtentPoint32A(dc.dc(), text, 2, &size));
        ASSERT_GT(size.cx, 4);
        ASSERT_GT(size.cy, 8);
        ASSERT_LT(size.cx, 59);
        ASSERT_LT(size.cy, 29);
        ASSERT_TRUE(TextOutA(dc.dc(), 1, 1, text, 2));
        const std::vector<uint32_t> cell = Area(dc, size.cx + 2, size.cy + 2);
        // Glyphs, antialiased towards the text colour, in both modes.
        int glyph = 0;
        for (uint32_t p : cell) {
            glyph += (p >> 16 & 0xFF) > 0xC0 ? 1 : 0;
        }
        EXPECT_GT(glyph, 5) << mode;
        // The cell's corner: background colour (opaque) or left alone (transparent).
        EXPECT_EQ(dc.At(1, 1), mode == OPAQUE ? 0xFF00FF00u : kBackground) << mode;
        EXPECT_EQ(dc.At(size.cx, size.cy), mode == OPAQUE ? 0xFF00FF00u : kBackground) << mode;
        // Outside the cell nothing changes.
        EXPECT_EQ(dc.At(0, 0), kBackground);
        EXPECT_EQ(dc.At(size.cx + 1, size.cy + 1), kBackground);
        EXPECT_EQ(Count(cell, 0xFF00FF00u) > 0, mode == OPAQUE) << mode;
    }
}

TEST(TextTest, ExtentGrowsWithTheTextAndTheFont) {
    MemoryDc dc(4, 4);
    SIZE one{}, two{}, none{};
    ASSERT_TRUE(GetTextExtentPoint32A(dc.dc(), "a", 1, &one));
    ASSERT_TRUE(GetTextExtentPoint32A(dc.dc(), "aa", 2, &two));
    ASSERT_TRUE(GetTextExtentPoint32A(dc.dc(), "", 0, &none));
    EXPECT_EQ(two.cx, 2 * one.cx);
    EXPECT_EQ(two.cy, one.cy);
    EXPECT_EQ(none.cx, 0);
    HFONT big =
        CreateFontA(-24, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "MS Shell Dlg");
    HGDIOBJ old = SelectObject(dc.dc(), big);
    SIZE large{};
    ASSERT_TRUE(GetTextExtentPoint32A(dc.dc(), "a", 1, &large));
    EXPECT_GT(large.cy, one.cy * 3 / 2);
    SelectObject(dc.dc(), old);
    DeleteObject(big);
    EXPECT_FALSE(GetTextExtentPoint32A(reinterpret_cast<HDC>(0x10), "a", 1, &one));
    EXPECT_FALSE(TextOutA(reinterpret_cast<HDC>(0x10), 0, 0, "a", 1));
    EXPECT_EQ(SetBkMode(dc.dc(), 7), 0);
}

// The text drawn straight with pango in the face with Chinese glyphs, black on white at 0, 0.
// For a character no font has, pango draws a box with its code in hex.
std::vector<uint32_t> PangoReference(const char* utf8, int w, int h) {
    MemoryDc dc(w, h);
    dc.Fill(0xFFFFFFFF);
    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(dc.bits()), CAIRO_FORMAT_ARGB32, w, h, w * 4);
    cairo_t* cr = cairo_create(surface);
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* font = pango_font_description_from_string("WenQuanYi Micro Hei 12px");
    pango_layout_set_font_description(layout, font);
    pango_layout_set_text(layout, utf8, -1);
    cairo_set_source_rgb(cr, 0, 0, 0);
    pango_cairo_show_layout(cr, layout);
    g_object_unref(layout);
    pango_font_description_free(font);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return Area(dc, w, h);
}

TEST(TextTest, ChineseTextShowsGlyphsNotMissingGlyphBoxes) {
    constexpr int kW = 40, kH = 20;
    const std::vector<uint32_t> glyphs = PangoReference("中文", kW, kH);
    const std::vector<uint32_t> boxes = PangoReference("\xF4\x8F\xBF\xBD\xF4\x8F\xBF\xBD", kW, kH);
    ASSERT_NE(glyphs, boxes);
    for (const char* face : {"", "MS Shell Dlg", "SimSun"}) {
        MemoryDc dc(kW, kH);
        dc.Fill(0xFFFFFFFF);
        HFONT font =
            CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, GB2312_CHARSET, 0, 0, 0, 0, face);
        HGDIOBJ old = SelectObject(dc.dc(), font);
        SetBkMode(dc.dc(), TRANSPARENT);
        const char* text = PalGbk("中文");
        ASSERT_EQ(std::strlen(text), 4u);  // two GBK characters
        ASSERT_TRUE(TextOutA(dc.dc(), 0, 0, text, 4));
        const std::vector<uint32_t> drawn = Area(dc, kW, kH);
        EXPECT_EQ(drawn, glyphs) << "face " << face;
        EXPECT_NE(drawn, boxes) << "face " << face;
        SelectObject(dc.dc(), old);
        DeleteObject(font);
    }
}

// The default font is the mapped one too: the same text in a fresh context and with "MS Shell
// Dlg" 9 pt (12 pixels) gives the same pixels.
TEST(TextTest, DefaultFontIsTheDialogFont) {
    MemoryDc plain(40, 20), dialog(40, 20);
    plain.Fill(0xFFFFFFFF);
    dialog.Fill(0xFFFFFFFF);
    const char* text = PalGbk("显示主界面");
    HFONT font =
        CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "MS Shell Dlg");
    HGDIOBJ old = SelectObject(dialog.dc(), font);
    ASSERT_TRUE(TextOutA(plain.dc(), 0, 0, text, static_cast<int>(std::strlen(text))));
    ASSERT_TRUE(TextOutA(dialog.dc(), 0, 0, text, static_cast<int>(std::strlen(text))));
    EXPECT_EQ(Area(plain, 40, 20), Area(dialog, 40, 20));
    SelectObject(dialog.dc(), old);
    DeleteObject(font);
}

}  // namespace
}  // namespace pal
