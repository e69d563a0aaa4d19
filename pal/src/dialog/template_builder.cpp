// PalBuildDialogTemplate: the DIALOGEX bytes of a dialog described in code.
#include <cstring>

#include "dialog/dialog_template.h"
#include "dialog/template_bytes.h"

namespace {

class Writer : public pal::dialog::TemplateWriter {
public:
    void Class(const std::string& name) {
        for (WORD ordinal = 0x80; ordinal <= 0x85; ++ordinal) {
            if (name == pal::dialog::PredefinedClassName(ordinal)) {
                Ordinal(ordinal);
                return;
            }
        }
        Text(name);
    }
};

}  // namespace

std::vector<BYTE> PalBuildDialogTemplate(const PalDialogDescription& d) {
    Writer w;
    DWORD style = d.style | (d.fontFace.empty() ? 0 : DS_SETFONT);
    w.Word(1);
    w.Word(0xFFFF);
    w.Dword(0);  // help id
    w.Dword(d.exStyle);
    w.Dword(style);
    w.Word(static_cast<WORD>(d.items.size()));
    for (short v : {d.x, d.y, d.cx, d.cy}) w.Word(static_cast<WORD>(v));
    w.Word(0);  // no menu
    if (d.className.empty()) {
        w.Word(0);
    } else {
        w.Text(d.className);
    }
    w.Text(d.title);
    if (style & DS_SETFONT) {
        w.Word(d.pointSize);
        w.Word(d.weight);
        w.bytes.push_back(d.italic);
        w.bytes.push_back(d.charset);
        w.Text(d.fontFace);
    }
    for (const PalDialogItem& item : d.items) {
        w.Align(4);
        w.Dword(0);  // help id
        w.Dword(item.exStyle);
        w.Dword(item.style);
        for (short v : {item.x, item.y, item.cx, item.cy}) w.Word(static_cast<WORD>(v));
        w.Dword(item.id);
        w.Class(item.className);
        if (item.textOrdinal != 0) {
            w.Ordinal(item.textOrdinal);
        } else {
            w.Text(item.text);
        }
        if (item.data.size() > 0xFFFF || d.items.size() > 0xFFFF) {
            return {};
        }
        w.Word(static_cast<WORD>(item.data.size()));
        if (!item.data.empty()) {
            w.Align(2);
            w.bytes.insert(w.bytes.end(), item.data.begin(), item.data.end());
        }
    }
    return w.ok ? std::move(w.bytes) : std::vector<BYTE>{};
}
