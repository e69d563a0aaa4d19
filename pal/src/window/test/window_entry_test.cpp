// The window registry's record and the cross-process post, as exact bytes.
#include <gtest/gtest.h>

#include <string>

#include "window/post_wire.h"
#include "window/window_entry.h"

namespace {

using namespace std::string_literals;

pal::WindowEntry Sample() {
    pal::WindowEntry entry;
    entry.hwnd = 0x00001a2b80000001ull;
    entry.pid = 6699;
    entry.processStart = 123456;
    entry.threadId = 3;
    entry.created = 987654321012ull;
    entry.className = "brcoreserviceclass";
    entry.title = "brcoreservice";
    return entry;
}

const std::string kSampleBytes =
    "pal-window-1\0"
    "00001a2b80000001\0"
    "6699\0"
    "123456\0"
    "3\0"
    "987654321012\0"
    "brcoreserviceclass\0"
    "brcoreservice\0"s;

TEST(WindowEntry, EncodesAsTaggedNulEndedFieldsAndDecodesBack) {
    EXPECT_EQ(pal::EncodeWindowEntry(Sample()), kSampleBytes);
    EXPECT_EQ(pal::DecodeWindowEntry(kSampleBytes), Sample());
    pal::WindowEntry empty = Sample();
    empty.className = "";
    empty.title = "";
    EXPECT_EQ(pal::DecodeWindowEntry(pal::EncodeWindowEntry(empty)), empty);
    EXPECT_EQ(pal::WindowEntryName(0x00001a2b80000001ull), "00001a2b80000001");
}

TEST(WindowEntry, RefusesRecordsOfAnyOtherForm) {
    auto replaced = [](const std::string& from, const std::string& to) {
        std::string bytes = kSampleBytes;
        bytes.replace(bytes.find(from), from.size(), to);
        return bytes;
    };
    const struct {
        const char* name;
        std::string bytes;
    } hostile[] = {
        {"empty", ""},
        {"truncated", kSampleBytes.substr(0, kSampleBytes.size() - 5)},
        {"last field not ended", kSampleBytes.substr(0, kSampleBytes.size() - 1)},
        {"extra field", kSampleBytes + "more\0"s},
        {"other tag", replaced("pal-window-1", "pal-window-2")},
        {"short handle", replaced("00001a2b80000001", "1a2b80000001")},
        {"handle not hex", replaced("00001a2b80000001", "00001a2b8000000g")},
        {"pid zero", replaced("\0"
                              "6699\0"s,
                              "\0"
                              "0\0"s)},
        {"pid negative", replaced("\0"
                                  "6699\0"s,
                                  "\0"
                                  "-5\0"s)},
        {"number with blank", replaced("\0"
                                       "123456\0"s,
                                       "\0"
                                       "123 456\0"s)},
        {"number empty", replaced("\0"
                                  "3\0"s,
                                  "\0\0"s)},
        {"number too large", replaced("\0"
                                      "3\0"s,
                                      "\0"
                                      "99999999999\0"s)},
    };
    for (const auto& c : hostile) {
        EXPECT_FALSE(pal::DecodeWindowEntry(c.bytes)) << c.name;
    }
}

TEST(PostWire, ThirtyTwoLittleEndianBytes) {
    pal::PostedMessage post{0x00001a2b80000001ull, 0x0402, 7, -2};
    const std::string bytes =
        "\x01\x00\x00\x80\x2b\x1a\x00\x00"    // hwnd
        "\x02\x04\x00\x00"                    // message
        "\x00\x00\x00\x00"                    // zero
        "\x07\x00\x00\x00\x00\x00\x00\x00"    // wParam
        "\xfe\xff\xff\xff\xff\xff\xff\xff"s;  // lParam
    auto encoded = pal::EncodePost(post);
    EXPECT_EQ(std::string(encoded.begin(), encoded.end()), bytes);
    EXPECT_EQ(pal::DecodePost(bytes), post);
}

TEST(PostWire, RefusesDatagramsOfAnyOtherForm) {
    auto encoded = pal::EncodePost(pal::PostedMessage{1, 2, 3, 4});
    std::string good(encoded.begin(), encoded.end());
    std::string nonzero = good;
    nonzero[13] = 1;
    const struct {
        const char* name;
        std::string bytes;
    } hostile[] = {
        {"empty", ""},
        {"short", good.substr(0, 31)},
        {"long", good + "x"},
        {"zero field set", nonzero},
    };
    for (const auto& c : hostile) {
        EXPECT_FALSE(pal::DecodePost(c.bytes)) << c.name;
    }
}

}  // namespace
