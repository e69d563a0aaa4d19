// Writes the installation's skin and program icon as PNG files:
//   make_skin SKIN_FOLDER ICON_FILE
// The strips are opaque; the buttons and the icon keep their alpha.
#include <cairo.h>

#include <cstdio>
#include <string>

#include "skin_art.h"
#include "skin_layout.h"

namespace {

// The program icon's size: the system's icon size.
constexpr int kIconSize = 32;

template <typename Paint>
bool WritePng(const std::string& path, cairo_format_t format, int width, int height, Paint paint) {
    cairo_surface_t* surface = cairo_image_surface_create(format, width, height);
    cairo_t* cr = cairo_create(surface);
    paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "make_skin: %s: %s\n", path.c_str(), cairo_status_to_string(status));
        return false;
    }
    return true;
}

bool WriteStrip(const std::string& path, const RECT& place, void (*draw)(cairo_t*, int, int)) {
    int w = skin_layout::Width(place);
    int h = skin_layout::Height(place);
    return WritePng(path, CAIRO_FORMAT_RGB24, w, h, [&](cairo_t* cr) { draw(cr, w, h); });
}

bool WriteButton(const std::string& folder, const char* name, const RECT& place,
                 skin_art::Glyph glyph) {
    // The suffixes in the order of the button's states.
    static const struct {
        const char* suffix;
        skin_art::Look look;
    } kLooks[] = {{"N.png", skin_art::Look::Normal},
                  {"S.png", skin_art::Look::Pressed},
                  {"F.png", skin_art::Look::Hover},
                  {"D.png", skin_art::Look::Fourth}};
    int w = skin_layout::Width(place);
    int h = skin_layout::Height(place);
    bool ok = true;
    for (const auto& look : kLooks) {
        ok = WritePng(folder + "/" + name + look.suffix, CAIRO_FORMAT_ARGB32, w, h,
                      [&](cairo_t* cr) { skin_art::DrawButton(cr, w, h, glyph, look.look); }) &&
             ok;
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_skin SKIN_FOLDER ICON_FILE\n");
        return 2;
    }
    std::string folder = argv[1];
    bool ok = WriteStrip(folder + "/Top.png", skin_layout::kTop, skin_art::DrawTop);
    ok = WriteStrip(folder + "/Left.png", skin_layout::kLeft, skin_art::DrawSide) && ok;
    ok = WriteStrip(folder + "/Right.png", skin_layout::kRight, skin_art::DrawSide) && ok;
    ok = WriteStrip(folder + "/Bottom.png", skin_layout::kBottom, skin_art::DrawBottom) && ok;
    ok = WriteButton(folder, "BtnClose", skin_layout::kClose, skin_art::Glyph::Close) && ok;
    ok = WriteButton(folder, "BtnMin", skin_layout::kMin, skin_art::Glyph::Minimise) && ok;
    ok = WriteButton(folder, "BtnHelp", skin_layout::kHelp, skin_art::Glyph::Help) && ok;
    ok =
        WriteButton(folder, "BtnFeedback", skin_layout::kFeedback, skin_art::Glyph::Feedback) && ok;
    ok = WritePng(argv[2], CAIRO_FORMAT_ARGB32, kIconSize, kIconSize,
                  [](cairo_t* cr) { skin_art::DrawIcon(cr, kIconSize); }) &&
         ok;
    return ok ? 0 : 1;
}

// LeakSanitizer, for the sanitizer builds, which run this tool while building: fontconfig, pango
// and GLib keep their font caches and type tables for the life of the process by design.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libpango\nleak:libglib-2.0.so\nleak:libgobject-2.0.so\n";
}
