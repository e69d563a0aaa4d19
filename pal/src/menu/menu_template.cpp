// LoadMenuA and PalBuildMenuTemplate: menus from a module's RT_MENU template and the template's
// bytes from a description in code.
#include "dialog/template_bytes.h"
#include "menu/menu_table.h"

namespace {

using pal::dialog::TemplateReader;
using pal::dialog::TemplateWriter;

// Deeper nesting than this is taken for a damaged template rather than followed.
constexpr int kMaxDepth = 16;
// The item bits a template carries into the menu.
constexpr UINT kKeptFlags = MF_POPUP | MF_SEPARATOR | MF_GRAYED | MF_DISABLED | MF_CHECKED;

// Reads the items of one level, up to the one marked MF_END, into menu.
bool ReadLevel(TemplateReader& reader, HMENU menu, int depth) {
    if (depth > kMaxDepth) {
        return false;
    }
    for (;;) {
        WORD flags = reader.Word();
        bool popup = (flags & MF_POPUP) != 0;
        WORD id = popup ? 0 : reader.Word();
        std::string text = reader.Text();
        if (!reader.ok()) {
            return false;
        }
        UINT kept = flags & kKeptFlags;
        if (popup) {
            HMENU submenu = CreatePopupMenu();
            if (!ReadLevel(reader, submenu, depth + 1) ||
                !AppendMenuA(menu, kept, reinterpret_cast<UINT_PTR>(submenu), text.c_str())) {
                DestroyMenu(submenu);
                return false;
            }
        } else if ((flags & MF_SEPARATOR) || (id == 0 && text.empty())) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);  // written either way by compilers
        } else {
            AppendMenuA(menu, kept, id, text.c_str());
        }
        if (flags & MF_END) {
            return true;
        }
    }
}

bool WriteLevel(TemplateWriter& writer, const std::vector<PalMenuTemplateItem>& items) {
    if (items.empty()) {
        return false;  // a level ends with its last item's MF_END; an empty one cannot be written
    }
    for (size_t i = 0; i < items.size(); ++i) {
        const PalMenuTemplateItem& item = items[i];
        WORD flags =
            static_cast<WORD>((item.flags & kKeptFlags) | (i + 1 == items.size() ? MF_END : 0));
        writer.Word(flags);
        if (!(flags & MF_POPUP)) {
            writer.Word(item.id);
        }
        writer.Text(item.text);
        if ((flags & MF_POPUP) && !WriteLevel(writer, item.items)) {
            return false;
        }
    }
    return writer.ok;
}

}  // namespace

// Differs from Windows: reads the standard menu template only, not the extended one.
HMENU LoadMenuA(HINSTANCE hInstance, LPCSTR lpMenuName) {
    HRSRC resource = FindResourceA(hInstance, lpMenuName, RT_MENU);
    if (!resource) {
        return nullptr;
    }
    const BYTE* bytes = static_cast<const BYTE*>(LockResource(LoadResource(hInstance, resource)));
    TemplateReader reader(bytes, SizeofResource(hInstance, resource));
    reader.Word();  // version
    WORD headerSize = reader.Word();
    reader.Bytes(headerSize);
    HMENU bar = CreateMenu();
    if (!reader.ok() || !ReadLevel(reader, bar, 0)) {
        DestroyMenu(bar);
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    return bar;
}

std::vector<BYTE> PalBuildMenuTemplate(const std::vector<PalMenuTemplateItem>& bar) {
    TemplateWriter writer;
    writer.Word(0);  // version
    writer.Word(0);  // header size
    if (!WriteLevel(writer, bar)) {
        return {};
    }
    return std::move(writer.bytes);
}
