// Whether a file or folder exists.
#include <windows.h>

#include "dir_and_ini.h"

namespace {

// Whether a byte can be the second byte of a two-byte GBK character: 0x40 to 0x7E or 0x80 to
// 0xFE. "\" (0x5C) can, "/" (0x2F) cannot.
bool IsGbkTrailByte(BYTE byte) {
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFE);
}

// The length of the path without its trailing "/" and "\" characters. A lead byte pairs only
// with a byte that can follow it, so a "\" that is the second byte of a two-byte GBK character
// belongs to that character and is kept, while a "/" after a lead byte is still a separator.
size_t LengthWithoutTrailingSeparators(const std::string& path) {
    size_t kept = 0;
    for (size_t at = 0; at < path.size();) {
        const BYTE byte = static_cast<BYTE>(path[at]);
        if (IsDBCSLeadByte(byte) && at + 1 < path.size() &&
            IsGbkTrailByte(static_cast<BYTE>(path[at + 1]))) {
            at += 2;
            kept = at;
            continue;
        }
        ++at;
        if (byte != '/' && byte != '\\') {
            kept = at;
        }
    }
    return kept;
}

}  // namespace

bool PathExists(const std::string& path) {
    std::string name = path.substr(0, LengthWithoutTrailingSeparators(path));
    if (name.empty()) {
        return false;
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(name.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    FindClose(search);
    return true;
}
