#include "dialog/dialog_template.h"

#include <cstring>

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

// Reads the template front to back; any read past the end marks it failed.
class Reader {
public:
    Reader(const BYTE* bytes, size_t size) : bytes_(bytes), size_(size) {}

    bool ok() const { return ok_; }
    void Align(size_t to) { at_ = (at_ + to - 1) / to * to; }
    WORD Word() { return static_cast<WORD>(Take(2)); }
    DWORD Dword() { return static_cast<DWORD>(Take(4)); }
    short Short() { return static_cast<short>(Word()); }
    BYTE Byte() { return static_cast<BYTE>(Take(1)); }
    // A zero-terminated UTF-16 text, as GBK.
    std::string Text() {
        std::u16string wide;
        for (WORD unit = Word(); ok_ && unit != 0; unit = Word()) {
            wide.push_back(static_cast<char16_t>(unit));
        }
        return ok_ ? Narrow(wide) : std::string();
    }
    // A text, or an ordinal (in *ordinal, the text then empty).
    std::string TextOrOrdinal(WORD* ordinal) {
        *ordinal = 0;
        if (Peek() == kOrdinalMark) {
            Word();
            *ordinal = Word();
            return {};
        }
        return Text();
    }
    std::vector<BYTE> Bytes(size_t count) {
        if (!Has(count)) {
            return {};
        }
        std::vector<BYTE> out(bytes_ + at_, bytes_ + at_ + count);
        at_ += count;
        return out;
    }

private:
    bool Has(size_t count) {
        if (!ok_ || at_ > size_ || size_ - at_ < count) {
            ok_ = false;
        }
        return ok_;
    }
    DWORD Take(size_t count) {
        if (!Has(count)) {
            return 0;
        }
        DWORD value = 0;
        for (size_t i = 0; i < count; ++i) {
            value |= static_cast<DWORD>(bytes_[at_ + i]) << (8 * i);
        }
        at_ += count;
        return value;
    }
    WORD Peek() {
        size_t at = at_;
        WORD value = Word();
        at_ = at;
        return value;
    }
    std::string Narrow(const std::u16string& wide) {
        if (wide.empty()) {
            return {};
        }
        int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                    0, nullptr, nullptr);
        if (n <= 0) {
            ok_ = false;  // a character GBK cannot express
            return {};
        }
        std::string out(static_cast<size_t>(n), '\0');
        WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                            nullptr, nullptr);
        return out;
    }

    const BYTE* bytes_;
    size_t size_;
    size_t at_ = 0;
    bool ok_ = true;
};

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
