#include "text_convert.h"

namespace flash {
namespace {

std::u16string Utf8ToWide(const std::string& text, bool* ok) {
    *ok = true;
    if (text.empty())
        return {};
    int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    if (units == 0) {
        *ok = false;
        return {};
    }
    std::u16string wide(size_t(units), u'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), wide.data(), units);
    return wide;
}

bool WideToNarrow(UINT codePage, const char16_t* text, size_t units, std::string* out) {
    out->clear();
    if (units == 0)
        return true;
    int bytes = WideCharToMultiByte(codePage, 0, text, int(units), nullptr, 0, nullptr, nullptr);
    if (bytes == 0)
        return false;
    out->assign(size_t(bytes), '\0');
    WideCharToMultiByte(codePage, 0, text, int(units), out->data(), bytes, nullptr, nullptr);
    return true;
}

}  // namespace

BSTR Utf8ToBstr(const std::string& text) {
    bool ok = false;
    std::u16string wide = Utf8ToWide(text, &ok);
    return ok ? SysAllocStringLen(wide.data(), UINT(wide.size())) : nullptr;
}

bool BstrToUtf8(BSTR text, std::string* out) {
    return WideToNarrow(CP_UTF8, text, SysStringLen(text), out);
}

// The narrow code page has no replacement of its own here, so each character that does not
// convert is drawn as '?' rather than losing the whole text.
std::string Utf8ToNarrow(const std::string& text) {
    bool ok = false;
    std::u16string wide = Utf8ToWide(text, &ok);
    if (!ok)
        return std::string(text.size(), '?');
    std::string narrow;
    if (WideToNarrow(CP_ACP, wide.data(), wide.size(), &narrow))
        return narrow;
    std::string out, one;
    for (size_t i = 0; i < wide.size(); ++i) {
        bool pair = i + 1 < wide.size() && wide[i] >= 0xD800 && wide[i] < 0xDC00;
        out += WideToNarrow(CP_ACP, &wide[i], pair ? 2 : 1, &one) ? one : "?";
        i += pair ? 1 : 0;
    }
    return out;
}

}  // namespace flash
