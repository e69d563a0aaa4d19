#include "image/png_decoder.h"

#include <gtest/gtest.h>
#include <png.h>

#include <string>

#include "test/png_writer.h"

namespace pal {
namespace {

using test::PngSpec;
using test::WritePng;

PngSpec Spec(int width, int height, int colorType, int bitDepth, std::vector<uint8_t> samples,
             std::vector<uint8_t> palette = {}, std::vector<uint8_t> transparency = {}) {
    return PngSpec{width,
                   height,
                   colorType,
                   bitDepth,
                   std::move(samples),
                   std::move(palette),
                   std::move(transparency)};
}

struct DecodeCase {
    const char* name;
    PngSpec spec;
    bool hasAlpha;
    std::vector<uint32_t> pixels;  // premultiplied 0xAARRGGBB
};

const DecodeCase kDecodeCases[] = {
    {"rgb_without_alpha",
     Spec(2, 1, PNG_COLOR_TYPE_RGB, 8, {0x10, 0x20, 0x30, 0xFF, 0x00, 0x80}),
     false,
     {0xFF102030, 0xFFFF0080}},
    // Colour is premultiplied: round(200 * 128 / 255) = 100, round(100 * 128 / 255) = 50,
    // round(50 * 128 / 255) = 25; a fully transparent pixel is all zero.
    {"rgba_premultiplied",
     Spec(3, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {200, 100, 50, 128, 9, 8, 7, 0, 1, 2, 3, 255}),
     true,
     {0x80643219, 0x00000000, 0xFF010203}},
    {"palette_without_transparency",
     Spec(2, 2, PNG_COLOR_TYPE_PALETTE, 8, {0, 1, 1, 0}, {0xAA, 0xBB, 0xCC, 0x11, 0x22, 0x33}),
     false,
     {0xFFAABBCC, 0xFF112233, 0xFF112233, 0xFFAABBCC}},
    // A palette of 2-bit indexes, packed four to a byte, with tRNS alpha for its first entries.
    {"palette_2bit_with_transparency",
     Spec(3, 1, PNG_COLOR_TYPE_PALETTE, 2, {0b00011000},
          {0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF}, {0, 51}),
     true,
     {0x00000000, 0x33003300, 0xFF0000FF}},
    {"gray_8bit",
     Spec(2, 1, PNG_COLOR_TYPE_GRAY, 8, {0x00, 0x7F}),
     false,
     {0xFF000000, 0xFF7F7F7F}},
    {"gray_1bit",
     Spec(3, 1, PNG_COLOR_TYPE_GRAY, 1, {0b10100000}),
     false,
     {0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF}},
    {"gray_alpha", Spec(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {0xFF, 0x33}), true, {0x33333333}},
    // 16-bit samples keep their high byte.
    {"rgba_16bit",
     Spec(1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16, {0xFF, 0xFF, 0x80, 0x80, 0x00, 0x10, 0xFF, 0xFF}),
     true,
     {0xFFFF8000}},
    {"rgb_16bit",
     Spec(1, 1, PNG_COLOR_TYPE_RGB, 16, {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}),
     false,
     {0xFF12569A}},
    // A transparent colour (tRNS on RGB) is transparency too.
    {"rgb_with_transparent_colour",
     Spec(2, 1, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 4, 5, 6}, {}, {4, 5, 6}),
     true,
     {0xFF010203, 0x00000000}},
};

void PrintTo(const DecodeCase& c, std::ostream* os) {
    *os << c.name;
}

class DecodeTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTest, GivesPremultipliedPixelsAndWhetherTheImageHasAlpha) {
    const DecodeCase& c = GetParam();
    const std::vector<uint8_t> file = WritePng(c.spec);
    DecodedImage image;
    ASSERT_TRUE(DecodePng(file.data(), file.size(), &image));
    EXPECT_EQ(image.width, c.spec.width);
    EXPECT_EQ(image.height, c.spec.height);
    EXPECT_EQ(image.hasAlpha, c.hasAlpha);
    EXPECT_EQ(image.pixels, c.pixels);
}

INSTANTIATE_TEST_SUITE_P(Png, DecodeTest, ::testing::ValuesIn(kDecodeCases),
                         [](const auto& info) { return std::string(info.param.name); });

std::vector<uint8_t> SmallImage() {
    PngSpec spec = Spec(4, 4, PNG_COLOR_TYPE_RGB_ALPHA, 8, {});
    for (int i = 0; i < 4 * 4 * 4; ++i) {
        spec.samples.push_back(static_cast<uint8_t>(i * 7));
    }
    return WritePng(spec);
}

bool Decodes(const std::vector<uint8_t>& file) {
    DecodedImage image;
    image.width = -1;
    const bool ok = DecodePng(file.data(), file.size(), &image);
    if (!ok) {
        EXPECT_EQ(image.width, -1) << "a failed decoding must leave the output untouched";
    }
    return ok;
}

TEST(DecodeHostileTest, EveryTruncationFails) {
    const std::vector<uint8_t> file = SmallImage();
    ASSERT_TRUE(Decodes(file));
    for (size_t length = 0; length < file.size(); ++length) {
        // The last 12 bytes are the IEND chunk, which libpng reads last; without it the image
        // data is whole, but the file is still cut short.
        EXPECT_FALSE(Decodes(std::vector<uint8_t>(file.begin(), file.begin() + length)))
            << "cut at " << length << " of " << file.size();
    }
}

// The first IDAT chunk's data offset: signature (8) + IHDR (8 + 13 + 4), then the IDAT header.
constexpr size_t kIdatData = 8 + 25 + 8;

TEST(DecodeHostileTest, DamagedImageDataFails) {
    std::vector<uint8_t> file = SmallImage();
    file[kIdatData + 2] ^= 0x5A;  // the chunk's CRC no longer matches
    EXPECT_FALSE(Decodes(file));
}

TEST(DecodeHostileTest, DamagedSignatureFails) {
    std::vector<uint8_t> file = SmallImage();
    file[1] = 'X';
    EXPECT_FALSE(Decodes(file));
    EXPECT_FALSE(Decodes({}));
}

// A header that claims a huge image (with a valid CRC) is refused before any allocation.
TEST(DecodeHostileTest, OversizedHeaderFails) {
    PngSpec spec = Spec(kMaxImageSide + 1, 1, PNG_COLOR_TYPE_GRAY, 1, {});
    EXPECT_FALSE(Decodes(WritePng(spec)));
}

TEST(DecodeFileTest, MissingFileFails) {
    DecodedImage image;
    EXPECT_FALSE(DecodePngFile("/nonexistent/skin.png", &image));
}

}  // namespace
}  // namespace pal
