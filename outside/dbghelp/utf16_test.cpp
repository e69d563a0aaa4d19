#include "utf16.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <string>

namespace {

std::string Emitted(const std::string& text) {
    int fd = memfd_create("string", MFD_CLOEXEC);
    {
        dbghelp::DumpOutput out(fd);
        dbghelp::PutString(&out, text.data(), text.size());
        EXPECT_TRUE(out.Finish());
        EXPECT_EQ(out.Position(), dbghelp::StringRecordSize(text.data(), text.size()));
    }
    std::string bytes(256, '\0');
    ssize_t n = pread(fd, bytes.data(), bytes.size(), 0);
    close(fd);
    bytes.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return bytes;
}

std::string Hex(const std::string& bytes) {
    std::string text;
    char digits[4];
    for (unsigned char b : bytes) {
        snprintf(digits, sizeof digits, "%02X ", b);
        text += digits;
    }
    if (!text.empty()) {
        text.pop_back();
    }
    return text;
}

struct StringCase {
    const char* name;
    std::string utf8;
    const char* bytes;  // length, UTF-16LE units, terminator
};

TEST(PutString, EncodesAsLengthUnitsAndTerminator) {
    const StringCase cases[] = {
        {"empty", "", "00 00 00 00 00 00"},
        {"ascii", "/a", "04 00 00 00 2F 00 61 00 00 00"},
        {"two bytes", "\xC3\xA9", "02 00 00 00 E9 00 00 00"},
        {"three bytes", "\xE4\xB8\xAD", "02 00 00 00 2D 4E 00 00"},
        {"surrogate pair", "\xF0\x9F\x98\x80", "04 00 00 00 3D D8 00 DE 00 00"},
        {"stray byte", "a\xFF\x62", "06 00 00 00 61 00 FD FF 62 00 00 00"},
        {"truncated sequence", "\xE4\xB8", "04 00 00 00 FD FF FD FF 00 00"},
        {"overlong slash", "\xC0\xAF", "04 00 00 00 FD FF FD FF 00 00"},
        {"encoded surrogate", "\xED\xA0\x80", "06 00 00 00 FD FF FD FF FD FF 00 00"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", "08 00 00 00 FD FF FD FF FD FF FD FF 00 00"},
    };
    for (const StringCase& c : cases) {
        EXPECT_EQ(Hex(Emitted(c.utf8)), c.bytes) << c.name;
    }
}

}  // namespace
