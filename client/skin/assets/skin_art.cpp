#include "skin_art.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>

namespace skin_art {
namespace {

// The frame's colours: a dark ink with a cool highlight.
constexpr double kInkTop[] = {0.16, 0.18, 0.24};
constexpr double kInkBottom[] = {0.07, 0.08, 0.11};
constexpr double kEdge[] = {0.30, 0.34, 0.45};
constexpr double kAccent[] = {0.20, 0.70, 0.95};

void SetRgb(cairo_t* cr, const double (&c)[3], double alpha = 1.0) {
    cairo_set_source_rgba(cr, c[0], c[1], c[2], alpha);
}

// Text centred at (cx, cy), or starting at cx when left is set, in the given pixel size.
void Text(cairo_t* cr, const char* utf8, double cx, double cy, int pixels, bool bold, bool left) {
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* font = pango_font_description_from_string("WenQuanYi Micro Hei");
    pango_font_description_set_absolute_size(font, pixels * PANGO_SCALE);
    pango_font_description_set_weight(font, bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_layout_set_font_description(layout, font);
    pango_layout_set_text(layout, utf8, -1);
    int w = 0;
    int h = 0;
    pango_layout_get_pixel_size(layout, &w, &h);
    cairo_move_to(cr, left ? cx : cx - w / 2.0, cy - h / 2.0);
    pango_cairo_show_layout(cr, layout);
    pango_font_description_free(font);
    g_object_unref(layout);
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void VerticalInk(cairo_t* cr, int width, int height) {
    cairo_pattern_t* ink = cairo_pattern_create_linear(0, 0, 0, height);
    cairo_pattern_add_color_stop_rgb(ink, 0, kInkTop[0], kInkTop[1], kInkTop[2]);
    cairo_pattern_add_color_stop_rgb(ink, 1, kInkBottom[0], kInkBottom[1], kInkBottom[2]);
    cairo_set_source(cr, ink);
    cairo_rectangle(cr, 0, 0, width, height);
    cairo_fill(cr);
    cairo_pattern_destroy(ink);
}

void Record(cairo_t* cr, double cx, double cy, double r) {
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_set_source_rgb(cr, 0.05, 0.05, 0.07);
    cairo_fill_preserve(cr);
    SetRgb(cr, kEdge);
    cairo_set_line_width(cr, std::max(1.0, r / 10));
    cairo_stroke(cr);
    for (double groove = 0.55; groove < 0.95; groove += 0.15) {
        cairo_arc(cr, cx, cy, r * groove, 0, 2 * M_PI);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.12);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
    cairo_arc(cr, cx, cy, r * 0.35, 0, 2 * M_PI);
    SetRgb(cr, kAccent);
    cairo_fill(cr);
}

void GlyphPath(cairo_t* cr, Glyph glyph, int width, int height) {
    double cx = width / 2.0;
    double cy = height / 2.0;
    switch (glyph) {
        case Glyph::Close:
            cairo_move_to(cr, cx - 5, cy - 5);
            cairo_line_to(cr, cx + 5, cy + 5);
            cairo_move_to(cr, cx + 5, cy - 5);
            cairo_line_to(cr, cx - 5, cy + 5);
            cairo_stroke(cr);
            break;
        case Glyph::Minimise:
            cairo_move_to(cr, cx - 6, cy + 4);
            cairo_line_to(cr, cx + 6, cy + 4);
            cairo_stroke(cr);
            break;
        case Glyph::Help:
            Text(cr, "?", cx, cy, 16, true, false);
            break;
        case Glyph::Feedback:
            Text(cr, "意见反馈", cx, cy, 13, false, false);
            break;
    }
}

}  // namespace

void DrawTop(cairo_t* cr, int width, int height) {
    VerticalInk(cr, width, height);
    SetRgb(cr, kEdge);
    cairo_rectangle(cr, 0, 0, width, 1);
    cairo_fill(cr);
    SetRgb(cr, kAccent, 0.8);
    cairo_rectangle(cr, 0, height - 1, width, 1);
    cairo_fill(cr);
    Record(cr, 19, height / 2.0, 12);
    cairo_set_source_rgb(cr, 0.92, 0.94, 0.98);
    Text(cr, "BrindoDJ", 38, height / 2.0, 17, true, true);
}

void DrawSide(cairo_t* cr, int width, int height) {
    SetRgb(cr, kInkBottom);
    cairo_rectangle(cr, 0, 0, width, height);
    cairo_fill(cr);
    SetRgb(cr, kEdge);
    cairo_rectangle(cr, 0, 0, 1, height);
    cairo_rectangle(cr, width - 1, 0, 1, height);
    cairo_fill(cr);
}

void DrawBottom(cairo_t* cr, int width, int height) {
    SetRgb(cr, kInkBottom);
    cairo_rectangle(cr, 0, 0, width, height);
    cairo_fill(cr);
    SetRgb(cr, kEdge);
    cairo_rectangle(cr, 0, height - 1, width, 1);
    cairo_fill(cr);
}

void DrawButton(cairo_t* cr, int width, int height, Glyph glyph, Look look) {
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    double shade = 0.0;
    double ink = 0.78;
    double shift = 0.0;
    switch (look) {
        case Look::Normal:
            break;
        case Look::Hover:
            shade = 0.22;
            ink = 1.0;
            break;
        case Look::Pressed:
            shade = 0.45;
            ink = 1.0;
            shift = 1.0;
            break;
        case Look::Fourth:
            ink = 0.35;
            break;
    }
    if (shade > 0) {
        bool close = glyph == Glyph::Close;
        RoundedRect(cr, 1, 1, width - 2, height - 2, 4);
        if (close)
            cairo_set_source_rgba(cr, 0.85, 0.20, 0.20, shade + 0.4);
        else
            SetRgb(cr, kAccent, shade);
        cairo_fill(cr);
    }
    cairo_translate(cr, shift, shift);
    cairo_set_source_rgba(cr, ink, ink, ink, 1);
    cairo_set_line_width(cr, 2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    GlyphPath(cr, glyph, width, height);
}

void DrawIcon(cairo_t* cr, int size) {
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    Record(cr, size / 2.0, size / 2.0, size / 2.0 - 1);
    cairo_set_source_rgb(cr, 0.05, 0.05, 0.07);
    Text(cr, "DJ", size / 2.0, size / 2.0, size * 3 / 8, true, false);
}

}  // namespace skin_art
