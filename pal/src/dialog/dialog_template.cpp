#include "dialog/dialog_template.h"

#include <cstring>

#include "dialog/template_bytes.h"

namespace pal::dialog {
namespace {

constexpr WORD kOrdinalMark = 0xFFFF;

struct PredefinedClass {
    WORD ordinal;
    const char* name;
};
constexpr PredefinedClass kPredefined[] = {{0x80, "BUTTON"},    {0x81, "EDIT"},
                                           {0x82, "STATIC"},    {0x83, "LISTBOX"},
                                           {0x84, "SCROLLBAR"}, {0x85, "COMBOBOX"}};

using Reader = TemplateReader;

std::string ClassText(Reader& reader) {
    WORD ordinal = 0;
    std::string name = reader.TextOrOrdinal(&ordinal);
    if (ordinal != 0) {
        const char* predefined = PredefinedClassName(ordinal);
        // An ordinal no class has: a name no class has either.
        return predefined[0] ? predefined : "#" + std::to_string(ordinal);
    }
    return name;
}

TemplateItem ReadItem(Reader& reader) {
    TemplateItem item;
    reader.Align(4);
    reader.Dword();  // help id
    item.exStyle = reader.Dword();
    item.style = reader.Dword();
    item.x = reader.Short();
    item.y = reader.Short();
    item.cx = reader.Short();
    item.cy = reader.Short();
    item.id = reader.Dword();
    item.className = ClassText(reader);
    item.text = reader.TextOrOrdinal(&item.textOrdinal);
    WORD dataSize = reader.Word();
    if (dataSize > 0) {
        reader.Align(2);
        item.data = reader.Bytes(dataSize);
    }
    return item;
}

}  // namespace

const char* PredefinedClassName(WORD ordinal) {
    for (const PredefinedClass& entry : kPredefined) {
        if (entry.ordinal == ordinal) {
            return entry.name;
        }
    }
    return "";
}

std::optional<DialogTemplate> ReadDialogTemplate(const BYTE* bytes, size_t size) {
    if (!bytes) {
        return std::nullopt;
    }
    Reader reader(bytes, size);
    if (reader.Word() != 1 || reader.Word() != kOrdinalMark) {
        return std::nullopt;  // not a DIALOGEX
    }
    DialogTemplate dialog;
    reader.Dword();  // help id
    dialog.exStyle = reader.Dword();
    dialog.style = reader.Dword();
    WORD count = reader.Word();
    dialog.x = reader.Short();
    dialog.y = reader.Short();
    dialog.cx = reader.Short();
    dialog.cy = reader.Short();
    WORD ordinal = 0;
    reader.TextOrOrdinal(&ordinal);  // the menu: dialogs of the system have none
    dialog.className = ClassText(reader);
    dialog.title = reader.Text();
    if (dialog.style & DS_SETFONT) {
        dialog.hasFont = true;
        dialog.pointSize = reader.Word();
        dialog.weight = reader.Word();
        dialog.italic = reader.Byte();
        dialog.charset = reader.Byte();
        dialog.fontFace = reader.Text();
    }
    for (WORD i = 0; i < count && reader.ok(); ++i) {
        dialog.items.push_back(ReadItem(reader));
    }
    if (!reader.ok()) {
        return std::nullopt;
    }
    return dialog;
}

}  // namespace pal::dialog
