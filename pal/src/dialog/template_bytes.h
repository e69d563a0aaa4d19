// Reading and writing the little-endian bytes of resource templates (dialogs, menus): words,
// double words and zero-terminated UTF-16 texts, which the layer holds as GBK. The reader checks
// every length against the bytes given; a read past the end, or a text GBK cannot express,
// marks it failed and later reads give zeros.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "windows.h"

namespace pal::dialog {

class TemplateReader {
public:
    TemplateReader(const BYTE* bytes, size_t size) : bytes_(bytes), size_(size) {}

    bool ok() const { return ok_; }
    bool AtEnd() const { return at_ >= size_; }
    void Align(size_t to) { at_ = (at_ + to - 1) / to * to; }
    WORD Word() { return static_cast<WORD>(Take(2)); }
    DWORD Dword() { return static_cast<DWORD>(Take(4)); }
    short Short() { return static_cast<short>(Word()); }
    BYTE Byte() { return static_cast<BYTE>(Take(1)); }
    WORD Peek() {
        size_t at = at_;
        WORD value = Word();
        at_ = at;
        return value;
    }
    // A zero-terminated UTF-16 text, as GBK.
    std::string Text();
    // A text, or 0xFFFF and an ordinal (in *ordinal, the text then empty).
    std::string TextOrOrdinal(WORD* ordinal);
    std::vector<BYTE> Bytes(size_t count);

private:
    bool Has(size_t count);
    DWORD Take(size_t count);

    const BYTE* bytes_;
    size_t size_;
    size_t at_ = 0;
    bool ok_ = true;
};

class TemplateWriter {
public:
    bool ok = true;  // false once a text could not be written
    std::vector<BYTE> bytes;

    void Align(size_t to) {
        while (bytes.size() % to) bytes.push_back(0);
    }
    void Word(WORD v) {
        bytes.push_back(static_cast<BYTE>(v));
        bytes.push_back(static_cast<BYTE>(v >> 8));
    }
    void Dword(DWORD v) {
        Word(static_cast<WORD>(v));
        Word(static_cast<WORD>(v >> 16));
    }
    // The GBK text as UTF-16 with its zero unit.
    void Text(const std::string& gbk);
    void Ordinal(WORD ordinal) {
        Word(0xFFFF);
        Word(ordinal);
    }
};

}  // namespace pal::dialog
