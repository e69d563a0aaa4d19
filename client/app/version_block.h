// The program's version block, as the resource compiler lays one out: a VS_VERSIONINFO node with
// the fixed file information, a StringFileInfo with one string table, and a VarFileInfo with
// the translation. Each node is its length, its value's length, its type (1 text, 0 binary),
// its UTF-16 key with a zero, padding to four bytes, its value, padding, then its children.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "windows.h"

struct VersionBlock {
    WORD fileVersion[4];
    WORD productVersion[4];
    WORD language;  // the string table's and the translation's
    WORD codePage;
    std::vector<std::pair<std::u16string, std::u16string>> strings;  // key, value
};

// The program's own: version 1.0.0.0, language 0x0804 with code page 936, its names.
VersionBlock ProgramVersion();
std::vector<BYTE> BuildVersionBlock(const VersionBlock& version);
