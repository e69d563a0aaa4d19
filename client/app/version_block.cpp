#include "version_block.h"

#include <cstdio>

namespace {

constexpr DWORD kFixedSignature = 0xFEEF04BD;
constexpr DWORD kFixedStructVersion = 0x00010000;
constexpr DWORD kFileFlagsMask = 0x3F;
constexpr DWORD kFileOsNtWindows32 = 0x00040004;
constexpr DWORD kFileTypeApp = 1;
constexpr WORD kTypeBinary = 0;
constexpr WORD kTypeText = 1;

class Writer {
public:
    std::vector<BYTE> bytes;
    void U16(WORD v) {
        bytes.push_back(BYTE(v));
        bytes.push_back(BYTE(v >> 8));
    }
    void U32(DWORD v) {
        U16(WORD(v));
        U16(WORD(v >> 16));
    }
    void Text(const std::u16string& text) {
        for (char16_t c : text) U16(WORD(c));
        U16(0);
    }
    void Align() {
        while (bytes.size() % 4) bytes.push_back(0);
    }
    // Starts a node; End fills in its length.
    size_t Begin(WORD valueLength, WORD type, const std::u16string& key) {
        Align();
        size_t at = bytes.size();
        U16(0);
        U16(valueLength);
        U16(type);
        Text(key);
        Align();
        return at;
    }
    void End(size_t at) {
        size_t length = bytes.size() - at;
        bytes[at] = BYTE(length);
        bytes[at + 1] = BYTE(length >> 8);
    }
};

DWORD High(const WORD (&v)[4]) {
    return DWORD(v[0]) << 16 | v[1];
}
DWORD Low(const WORD (&v)[4]) {
    return DWORD(v[2]) << 16 | v[3];
}

}  // namespace

VersionBlock ProgramVersion() {
    return {{1, 0, 0, 0},
            {1, 0, 0, 0},
            0x0804,
            936,
            {{u"FileDescription", u"BrindoDJ"},
             {u"FileVersion", u"1.0.0.1"},
             {u"InternalName", u"BRDJ.exe"},
             {u"OriginalFilename", u"BRDJ.exe"},
             {u"ProductName", u"BrindoDJ"},
             {u"ProductVersion", u"1.0.0.0"}}};
}

std::vector<BYTE> BuildVersionBlock(const VersionBlock& version) {
    Writer w;
    size_t root = w.Begin(13 * 4, kTypeBinary, u"VS_VERSION_INFO");
    for (DWORD v :
         {kFixedSignature, kFixedStructVersion, High(version.fileVersion), Low(version.fileVersion),
          High(version.productVersion), Low(version.productVersion), kFileFlagsMask, DWORD(0),
          kFileOsNtWindows32, kFileTypeApp, DWORD(0), DWORD(0), DWORD(0)})
        w.U32(v);

    size_t stringInfo = w.Begin(0, kTypeText, u"StringFileInfo");
    char table[9];
    std::snprintf(table, sizeof table, "%04x%04x", version.language, version.codePage);
    size_t strings = w.Begin(0, kTypeText, std::u16string(table, table + 8));
    for (const auto& [key, value] : version.strings) {
        // The value's length counts its characters with the zero.
        size_t entry = w.Begin(WORD(value.size() + 1), kTypeText, key);
        w.Text(value);
        w.End(entry);
    }
    w.End(strings);
    w.End(stringInfo);

    size_t varInfo = w.Begin(0, kTypeText, u"VarFileInfo");
    size_t translation = w.Begin(4, kTypeBinary, u"Translation");
    w.U16(version.language);
    w.U16(version.codePage);
    w.End(translation);
    w.End(varInfo);
    w.End(root);
    return w.bytes;
}
