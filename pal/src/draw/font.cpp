#include "draw/font.h"

namespace pal::draw {
namespace {

// The face every Windows face name is drawn with: it has Latin and Chinese glyphs, and the setup
// installs it.
constexpr const char* kChineseFamily = "WenQuanYi Micro Hei";

// 9 points at 96 dots per inch.
constexpr int kDefaultPixels = 12;

}  // namespace

std::string MappedFamily(const std::string&) {
    // The system names only Windows faces ("MS Shell Dlg", the default font); none of them is
    // on this machine, so all map to the one face that draws every text it shows.
    return kChineseFamily;
}

Font::Font(const std::string& face, int height, int weight, bool italic)
    : GdiObject(kKind), description(pango_font_description_new()) {
    pango_font_description_set_family(description, MappedFamily(face).c_str());
    // A negative height is the character (em) height; a positive one the cell height, of which
    // the em takes about 5/6 with this face's ascent and descent.
    int pixels = kDefaultPixels;
    if (height < 0) {
        pixels = -height;
    } else if (height > 0) {
        pixels = height * 5 / 6 > 0 ? height * 5 / 6 : 1;
    }
    pango_font_description_set_absolute_size(description, pixels * PANGO_SCALE);
    pango_font_description_set_weight(description,
                                      weight >= 600 ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(description, italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
}

Font::~Font() {
    pango_font_description_free(description);
}

std::shared_ptr<Font> DefaultFont() {
    return std::make_shared<Font>("MS Shell Dlg", -kDefaultPixels, 400, false);
}

}  // namespace pal::draw
