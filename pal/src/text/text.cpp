#include <iconv.h>

#include <map>
#include <mutex>
#include <string>

#include "windows.h"

BOOL IsDBCSLeadByteEx(UINT CodePage, BYTE TestChar) {
    if (CodePage != CP_ACP && CodePage != CP_GBK) {
        return FALSE;
    }
    return TestChar >= 0x81 && TestChar <= 0xFE;
}

// Differs from Windows: the ANSI code page is always 936 (GBK).
BOOL IsDBCSLeadByte(BYTE TestChar) {
    return IsDBCSLeadByteEx(CP_ACP, TestChar);
}

namespace {

std::string ConvertToGbk(const std::string& utf8) {
    iconv_t cd = iconv_open("GBK", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return utf8;
    }
    std::string out(utf8.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size();
    char* dst = out.data();
    size_t outLeft = out.size();
    size_t rc = iconv(cd, &in, &inLeft, &dst, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1)) {
        return utf8;
    }
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace

const char* PalGbk(const char* utf8) {
    static std::mutex* lock = new std::mutex;
    static auto* cache = new std::map<std::string, std::string>;  // kept for the process's life
    std::lock_guard<std::mutex> guard(*lock);
    auto it = cache->find(utf8);
    if (it == cache->end()) {
        it = cache->emplace(utf8, ConvertToGbk(utf8)).first;
    }
    return it->second.c_str();
}
