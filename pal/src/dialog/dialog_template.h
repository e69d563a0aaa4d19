// A DIALOGEX template read into its parts, with every length checked against the bytes given.
//
// The layout (little-endian, texts UTF-16 with a zero unit, "sz_Or_Ord" a text or 0xFFFF and
// a 16-bit ordinal): WORD version 1, WORD 0xFFFF, DWORD help id, DWORD ex-style, DWORD style,
// WORD item count, short x, y, cx, cy, sz_Or_Ord menu, sz_Or_Ord class, title; with DS_SETFONT
// WORD points, WORD weight, BYTE italic, BYTE charset, face. Each item starts on a DWORD
// boundary: DWORD help id, DWORD ex-style, DWORD style, short x, y, cx, cy, DWORD id, sz_Or_Ord
// class (ordinals 0x80 "BUTTON" ... 0x85 "COMBOBOX"), sz_Or_Ord text, WORD size of the creation
// data and the data, which starts on a WORD boundary.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "windows.h"

namespace pal::dialog {

struct TemplateItem {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    std::string className;  // the predefined ordinals as their class names
    std::string text;       // GBK
    WORD textOrdinal = 0;   // not 0: the text was an ordinal
    std::vector<BYTE> data;
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string className;  // empty: the dialog class
    std::string title;      // GBK
    bool hasFont = false;
    WORD pointSize = 0;
    WORD weight = 0;
    BYTE italic = 0;
    BYTE charset = 0;
    std::string fontFace;  // GBK
    std::vector<TemplateItem> items;
};

// The largest template the layer reads through a bare pointer (the indirect calls, which are not
// told the size): a template is read no further than this.
constexpr size_t kMaxTemplateBytes = 1u << 20;

// The template in the first `size` bytes; nothing when it is not a DIALOGEX or runs past them.
std::optional<DialogTemplate> ReadDialogTemplate(const BYTE* bytes, size_t size);

// The predefined class of a template ordinal ("BUTTON" for 0x80 ...); empty for another value.
const char* PredefinedClassName(WORD ordinal);

}  // namespace pal::dialog
