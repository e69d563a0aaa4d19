// Whether a file or folder exists.
#include <windows.h>

#include "dir_and_ini.h"

namespace {

// The length of the path without its trailing "/" and "\" characters. A "\" that is the second
// byte of a two-byte GBK character belongs to that character and is kept.
size_t LengthWithoutTrailingSeparators(const std::string& path) {
    size_t kept = 0;
    for (size_t at = 0; at < path.size();) {
        const BYTE byte = static_cast<BYTE>(path[at]);
        if (IsDBCSLeadByte(byte) && at + 1 < path.size()) {
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
