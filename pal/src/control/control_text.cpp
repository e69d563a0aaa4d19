#include "control/control_text.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace pal::control {
namespace {

// GBK to UTF-8 through UTF-16; text that does not convert is kept as it is.
std::string Utf8(const std::string& narrow) {
    if (narrow.empty()) {
        return narrow;
    }
    int size = static_cast<int>(narrow.size());
    int wide = MultiByteToWideChar(CP_ACP, 0, narrow.data(), size, nullptr, 0);
    if (wide <= 0) {
        return narrow;
    }
    std::u16string units(static_cast<size_t>(wide), u'\0');
    MultiByteToWideChar(CP_ACP, 0, narrow.data(), size, units.data(), wide);
    int bytes = WideCharToMultiByte(CP_UTF8, 0, units.data(), wide, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) {
        return narrow;
    }
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, units.data(), wide, utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}

}  // namespace

std::string Quoted(const std::string& narrow) {
    std::string out = "\"";
    for (unsigned char c : Utf8(narrow)) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
                    out += escaped;
                } else {
                    out.push_back(static_cast<char>(c));
                }
        }
    }
    return out + "\"";
}

std::string RectText(const RECT& rect) {
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
           std::to_string(rect.right) + "," + std::to_string(rect.bottom);
}

std::string HandleText(const void* handle) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%llx",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(handle)));
    return text;
}

std::string HexText(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", value);
    return text;
}

std::optional<long long> ParseNumber(const std::string& word, long long low, long long high) {
    if (word.empty() || word.size() > 20) {
        return std::nullopt;
    }
    bool hex = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
    const char* start = word.c_str();
    if (!hex && !(word[0] == '-' || (word[0] >= '0' && word[0] <= '9'))) {
        return std::nullopt;  // strtoll would take spaces and a plus sign too
    }
    char* end = nullptr;
    errno = 0;
    long long value = std::strtoll(start, &end, hex ? 16 : 10);
    if (errno != 0 || end == start || *end != '\0' || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

std::optional<HWND> ParseHandle(const std::string& word) {
    auto value = ParseNumber(word, 1, 0x7FFFFFFFFFFFFFFFLL);
    if (!value) {
        return std::nullopt;
    }
    return reinterpret_cast<HWND>(static_cast<intptr_t>(*value));
}

}  // namespace pal::control
