// Fonts: a pango font description and the GDI font it was made from. The faces that the system
// names (the default font, "MS Shell Dlg" and other Windows faces) map to a face with Chinese
// glyphs, so Chinese texts show real characters.
#pragma once

#include <pango/pango-font.h>

#include <memory>
#include <string>

#include "draw/gdi_object.h"

namespace pal::draw {

struct Font : GdiObject {
    static constexpr GdiKind kKind = GdiKind::kFont;
    // height as CreateFontA takes it: negative, the character height in pixels; positive, the
    // cell height; 0, the default size.
    Font(const std::string& face, int height, int weight, bool italic);
    ~Font() override;
    PangoFontDescription* description;
};

// The default font of a device context: the mapped face at 12 pixels (9 points at 96 dpi).
std::shared_ptr<Font> DefaultFont();
// The fontconfig family that a Windows face name is drawn with.
std::string MappedFamily(const std::string& face);

}  // namespace pal::draw
