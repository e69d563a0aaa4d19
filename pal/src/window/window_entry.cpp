#include "window/window_entry.h"

#include <charconv>
#include <vector>

namespace pal {
namespace {

constexpr std::string_view kTag = "pal-window-1";

template <class T>
bool ParseNumber(std::string_view text, int base, T* value) {
    if (text.empty() || text.size() > 20) {
        return false;
    }
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value, base);
    return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

std::string WindowEntryName(uint64_t hwnd) {
    static const char kHex[] = "0123456789abcdef";
    std::string name(16, '0');
    for (int i = 15; i >= 0; --i, hwnd >>= 4) {
        name[static_cast<size_t>(i)] = kHex[hwnd & 0xF];
    }
    return name;
}

std::string EncodeWindowEntry(const WindowEntry& entry) {
    std::string bytes;
    auto field = [&](std::string_view text) {
        bytes.append(text);
        bytes.push_back('\0');
    };
    field(kTag);
    field(WindowEntryName(entry.hwnd));
    field(std::to_string(entry.pid));
    field(std::to_string(entry.processStart));
    field(std::to_string(entry.threadId));
    field(std::to_string(entry.created));
    field(entry.className);
    field(entry.title);
    return bytes;
}

std::optional<WindowEntry> DecodeWindowEntry(std::string_view bytes) {
    std::vector<std::string_view> fields;
    while (!bytes.empty()) {
        size_t end = bytes.find('\0');
        if (end == std::string_view::npos) {
            return std::nullopt;  // the last field is not ended
        }
        fields.push_back(bytes.substr(0, end));
        bytes.remove_prefix(end + 1);
    }
    if (fields.size() != 8 || fields[0] != kTag || fields[1].size() != 16) {
        return std::nullopt;
    }
    WindowEntry entry;
    if (!ParseNumber(fields[1], 16, &entry.hwnd) || !ParseNumber(fields[2], 10, &entry.pid) ||
        entry.pid <= 0 || !ParseNumber(fields[3], 10, &entry.processStart) ||
        !ParseNumber(fields[4], 10, &entry.threadId) ||
        !ParseNumber(fields[5], 10, &entry.created)) {
        return std::nullopt;
    }
    entry.className = fields[6];
    entry.title = fields[7];
    return entry;
}

}  // namespace pal
