#include "kernel/mutex_name.h"

#include "windows.h"

namespace pal {

size_t ObjectNameLength(std::string_view name) {
    size_t count = 0;
    for (size_t i = 0; i < name.size(); ++i, ++count) {
        if (IsDBCSLeadByte(static_cast<BYTE>(name[i])) && i + 1 < name.size()) {
            ++i;
        }
    }
    return count;
}

namespace {

bool KeptAsIs(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-';
}

}  // namespace

std::string MutexFileFor(std::string_view name) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    for (char ch : name) {
        auto c = static_cast<unsigned char>(ch);
        if (KeptAsIs(c)) {
            escaped += ch;
        } else {
            escaped += '%';
            escaped += kHex[c >> 4];
            escaped += kHex[c & 0xF];
        }
    }
    std::string path;
    size_t at = 0;
    while (escaped.size() - at > kMutexLevelLength) {
        path.append(escaped, at, kMutexLevelLength);
        path += "+/";
        at += kMutexLevelLength;
    }
    path.append(escaped, at, std::string::npos);
    return path;
}

}  // namespace pal
