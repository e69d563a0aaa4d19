// PalBuildDialogTemplate: the DIALOGEX bytes of a dialog described in code.
#include <cstring>

#include "dialog/dialog_template.h"

namespace {

class Writer {
public:
    bool ok = true;
    std::vector<BYTE> bytes;

    void Align(size_t to) {
        while (bytes.size() % to) bytes.push_back(0);
    }
    void Word(WORD v) {
        bytes.push_back(static_cast<BYTE>(v));
        bytes.push_back(static_cast<BYTE>(v >> 8));
    }
    void Dword(DWORD v) {
        Word(static_cast<WORD>(v));
        Word(static_cast<WORD>(v >> 16));
    }
    void Text(const std::string& gbk) {
        if (!gbk.empty()) {
            int n = MultiByteToWideChar(CP_ACP, 0, gbk.data(), static_cast<int>(gbk.size()),
                                        nullptr, 0);
            if (n <= 0) {
                ok = false;
                return;
            }
            std::u16string wide(static_cast<size_t>(n), u'\0');
            MultiByteToWideChar(CP_ACP, 0, gbk.data(), static_cast<int>(gbk.size()), wide.data(),
                                n);
            for (char16_t unit : wide) Word(static_cast<WORD>(unit));
        }
        Word(0);
    }
    void Ordinal(WORD ordinal) {
        Word(0xFFFF);
        Word(ordinal);
    }
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
