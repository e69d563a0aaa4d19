// The template reader's texts and bounds, and the writer's texts.
#include "dialog/template_bytes.h"

namespace pal::dialog {

std::string TemplateReader::Text() {
    std::u16string wide;
    for (WORD unit = Word(); ok_ && unit != 0; unit = Word()) {
        wide.push_back(static_cast<char16_t>(unit));
    }
    if (!ok_ || wide.empty()) {
        return {};
    }
    int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                nullptr, nullptr);
    if (n <= 0) {
        ok_ = false;  // a character GBK cannot express
        return {};
    }
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

std::string TemplateReader::TextOrOrdinal(WORD* ordinal) {
    *ordinal = 0;
    if (Peek() == 0xFFFF) {
        Word();
        *ordinal = Word();
        return {};
    }
    return Text();
}

std::vector<BYTE> TemplateReader::Bytes(size_t count) {
    if (!Has(count)) {
        return {};
    }
    std::vector<BYTE> out(bytes_ + at_, bytes_ + at_ + count);
    at_ += count;
    return out;
}

bool TemplateReader::Has(size_t count) {
    if (!ok_ || at_ > size_ || size_ - at_ < count) {
        ok_ = false;
    }
    return ok_;
}

DWORD TemplateReader::Take(size_t count) {
    if (!Has(count)) {
        return 0;
    }
    DWORD value = 0;
    for (size_t i = 0; i < count; ++i) {
        value |= static_cast<DWORD>(bytes_[at_ + i]) << (8 * i);
    }
    at_ += count;
    return value;
}

void TemplateWriter::Text(const std::string& gbk) {
    if (!gbk.empty()) {
        int n =
            MultiByteToWideChar(CP_ACP, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
        if (n <= 0) {
            ok = false;
            return;
        }
        std::u16string wide(static_cast<size_t>(n), u'\0');
        MultiByteToWideChar(CP_ACP, 0, gbk.data(), static_cast<int>(gbk.size()), wide.data(), n);
        for (char16_t unit : wide) Word(static_cast<WORD>(unit));
    }
    Word(0);
}

}  // namespace pal::dialog
