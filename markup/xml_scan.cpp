#include "xml_scan.h"

namespace markup {

bool Token::Matches(std::string_view name) const {
    const int n = last - first + 1;
    if (n < 0 || static_cast<size_t>(n) > name.size()) {
        return false;
    }
    for (int i = 0; i < n; ++i) {
        if (name[i] != text[first + i]) {
            return false;
        }
    }
    if (static_cast<size_t>(n) == name.size()) {
        return true;
    }
    const char after = name[n];
    return after == ' ' || after == '=' || after == '/' || after == '[';
}

}  // namespace markup
