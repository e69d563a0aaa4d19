#include "main_dialog_template.h"

#include <string>

namespace {

constexpr char kFlashClassId[] = "{D27CDB6E-AE6D-11CF-96B8-444553540000}";
constexpr WORD kTypeString = 8;
constexpr WORD kTypeObject = 13;

// Little-endian writer of the state's values.
class StateWriter {
public:
    void U16(WORD v) {
        bytes_.push_back(BYTE(v));
        bytes_.push_back(BYTE(v >> 8));
    }
    void U32(DWORD v) {
        U16(WORD(v));
        U16(WORD(v >> 16));
    }
    // A text: its byte count with the terminating zero, the UTF-16 text, the zero.
    void Text(const std::u16string& text) {
        U16(kTypeString);
        U32(DWORD(text.size() + 1) * 2);
        for (char16_t c : text) U16(WORD(c));
        U16(0);
    }
    // A string with no text at all.
    void None() {
        U16(kTypeString);
        U32(0);
    }
    void EmptyObject() {
        U16(kTypeObject);
        bytes_.insert(bytes_.end(), 16, 0);
    }
    std::vector<BYTE> Take() { return std::move(bytes_); }

private:
    std::vector<BYTE> bytes_;
};

}  // namespace

std::vector<BYTE> FlashControlState() {
    StateWriter w;
    for (DWORD v : {0u, 0x55665567u, 0x900u, 25929u, 15981u}) w.U32(v);
    // Positions 0 to 23 in the control's stored order; the unset ones are empty or absent.
    w.Text(u"");         // 0 Movie
    w.Text(u"");         // 1 Src
    w.Text(u"");         // 2 Base
    w.Text(u"Window");   // 3 WMode
    w.Text(u"-1");       // 4 Play
    w.Text(u"-1");       // 5 Loop
    w.Text(u"High");     // 6 Quality
    w.Text(u"");         // 7 SAlign
    w.Text(u"-1");       // 8 Menu
    w.None();            // 9
    w.Text(u"");         // 10
    w.Text(u"ShowAll");  // 11 Scale
    w.Text(u"0");        // 12 DeviceFont
    w.Text(u"0");        // 13 EmbedMovie
    w.None();            // 14
    w.None();            // 15
    w.None();            // 16
    w.EmptyObject();     // 17 InlineData
    w.Text(u"1");        // 18 SeamlessTabbing
    w.Text(u"0");        // 19 Profile
    w.None();            // 20
    w.Text(u"0");        // 21 ProfilePort
    w.Text(u"all");      // 22 AllowNetworking
    w.Text(u"false");    // 23 AllowFullScreen
    return w.Take();
}

std::vector<BYTE> MainDialogTemplate() {
    PalDialogDescription d;
    d.style = 0x92080048;    // WS_POPUP, WS_VISIBLE, WS_CLIPCHILDREN, WS_SYSMENU, DS_SHELLFONT
    d.exStyle = 0x00040000;  // WS_EX_APPWINDOW
    d.cx = 574;
    d.cy = 359;
    d.fontFace = "MS Shell Dlg";
    d.pointSize = 9;
    d.charset = 1;
    PalDialogItem flash;
    flash.id = IDC_SHOCKWAVEFLASH;
    flash.className = kFlashClassId;
    flash.style = 0x50010000;  // WS_CHILD, WS_VISIBLE, WS_TABSTOP
    flash.x = 7;
    flash.y = 7;
    flash.cx = 560;
    flash.cy = 345;
    flash.data = FlashControlState();
    d.items.push_back(std::move(flash));
    return PalBuildDialogTemplate(d);
}
