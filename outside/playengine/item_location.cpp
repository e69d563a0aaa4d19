#include "item_location.h"

#include <cctype>

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) {
            return false;
        }
    }
    return true;
}

bool EqualsNoCase(std::string_view text, std::string_view lower) {
    return text.size() == lower.size() && StartsWithNoCase(text, lower);
}

// "scheme://" at the start, the scheme being a letter followed by letters, digits, '+', '-', '.'.
bool HasScheme(std::string_view text) {
    size_t colon = text.find("://");
    if (colon == std::string_view::npos || colon == 0 ||
        !std::isalpha(static_cast<unsigned char>(text[0]))) {
        return false;
    }
    for (size_t i = 1; i < colon; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') {
            return false;
        }
    }
    return true;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

std::optional<std::string> DecodeEscapes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) {
            return std::nullopt;
        }
        int high = HexValue(text[i + 1]);
        int low = HexValue(text[i + 2]);
        if (high < 0 || low < 0 || (high == 0 && low == 0)) {
            return std::nullopt;
        }
        out += static_cast<char>(high << 4 | low);
        i += 2;
    }
    return out;
}

}  // namespace

std::optional<std::string> LocationToPath(std::string_view location) {
    if (location.empty()) {
        return std::nullopt;
    }
    if (!StartsWithNoCase(location, "file:")) {
        if (HasScheme(location)) {
            return std::nullopt;
        }
        return std::string(location);
    }
    std::string_view rest = location.substr(5);
    if (rest.substr(0, 2) == "//") {
        rest.remove_prefix(2);
        size_t slash = rest.find('/');
        if (slash == std::string_view::npos) {
            return std::nullopt;
        }
        std::string_view host = rest.substr(0, slash);
        if (!host.empty() && !EqualsNoCase(host, "localhost")) {
            return std::nullopt;
        }
        rest.remove_prefix(slash);
    }
    if (rest.empty() || rest[0] != '/') {
        return std::nullopt;
    }
    return DecodeEscapes(rest);
}

bool IsStreamAddress(std::string_view location) {
    for (std::string_view scheme : {std::string_view("http://"), std::string_view("https://")}) {
        if (StartsWithNoCase(location, scheme)) {
            std::string_view rest = location.substr(scheme.size());
            return !rest.empty() && rest[0] != '/';
        }
    }
    return false;
}
