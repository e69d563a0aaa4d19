#include <iconv.h>

#include <map>
#include <mutex>
#include <string>

#include "text/gbk_utf8.h"
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

// The text in another encoding; the text unchanged when it does not convert.
std::string Convert(const char* to, const char* from, const std::string& text) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return text;
    }
    std::string out(text.size() * 3 + 4, '\0');  // no character grows beyond three times
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char* dst = out.data();
    size_t outLeft = out.size();
    size_t rc = iconv(cd, &in, &inLeft, &dst, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1)) {
        return text;
    }
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace

namespace pal::text {

std::string Utf8FromGbk(const std::string& gbk) {
    return Convert("UTF-8", "GBK", gbk);
}

}  // namespace pal::text

const char* PalGbk(const char* utf8) {
    static std::mutex* lock = new std::mutex;
    static auto* cache = new std::map<std::string, std::string>;  // kept for the process's life
    std::lock_guard<std::mutex> guard(*lock);
    auto it = cache->find(utf8);
    if (it == cache->end()) {
        it = cache->emplace(utf8, Convert("GBK", "UTF-8", utf8)).first;
    }
    return it->second.c_str();
}
