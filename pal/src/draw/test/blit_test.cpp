#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "draw/test/memory_dc.h"
#include "test/png_writer.h"

namespace pal {
namespace {

using test::MemoryDc;
using test::PixelAt;

constexpr uint32_t kBackground = 0xFF204080;  // opaque r 0x20, g 0x40, b 0x80

// A 4 x 4 source whose pixel tells where it came from: 0xFF00xxyy.
void FillCoordinates(MemoryDc& src) {
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            src.At(x, y) = 0xFF000000u | static_cast<uint32_t>(x) << 8 | static_cast<uint32_t>(y);
        }
    }
}

void ExpectPixels(MemoryDc& dc, const std::vector<PixelAt>& expected) {
    for (const PixelAt& p : expected) {
        EXPECT_EQ(dc.At(p.x, p.y), p.pixel) << "at " << p.x << ", " << p.y;
    }
}

// Every combination of row orders: a bottom-up bitmap reads and writes in the same top-down
// coordinates as a top-down one.
class CopyTest : public ::testing::TestWithParam<std::tuple<bool, bool>> {};

TEST_P(CopyTest, BitBltCopiesPixelForPixelAtTheOffset) {
    MemoryDc src(4, 4, std::get<0>(GetParam()));
    MemoryDc dst(8, 8, std::get<1>(GetParam()));
    FillCoordinates(src);
    dst.Fill(kBackground);
    ASSERT_TRUE(BitBlt(dst.dc(), 3, 2, 3, 3, src.dc(), 1, 1, SRCCOPY));
    ExpectPixels(dst, {
                          {3, 2, 0xFF000101},  // first pixel: source 1, 1
                          {5, 2, 0xFF000301},  // right edge of the copy
                          {3, 4, 0xFF000103},  // bottom edge
                          {5, 4, 0xFF000303},
                          {2, 2, kBackground},  // left of it
                          {6, 4, kBackground},  // right of it
                          {3, 5, kBackground},  // below it
                          {3, 1, kBackground},  // above it
                      });
}

INSTANTIATE_TEST_SUITE_P(RowOrders, CopyTest,
                         ::testing::Combine(::testing::Bool(), ::testing::Bool()));

TEST(BlitTest, BottomUpSectionKeepsItsBottomRowFirstInMemory) {
    MemoryDc dc(2, 3, true);
    RECT top{0, 0, 2, 1};
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    ASSERT_TRUE(FillRect(dc.dc(), &top, brush));
    DeleteObject(brush);
    EXPECT_EQ(dc.bits()[0], 0u);               // memory row 0 is the bottom row
    EXPECT_EQ(dc.bits()[2 * 2], 0xFF010203u);  // memory row 2 is the top row
}

TEST(BlitTest, SourceOutsideItsBitmapLeavesTheDestination) {
    MemoryDc src(4, 4);
    MemoryDc dst(8, 8);
    FillCoordinates(src);
    dst.Fill(kBackground);
    ASSERT_TRUE(BitBlt(dst.dc(), 0, 0, 6, 6, src.dc(), 2, 2, SRCCOPY));
    ExpectPixels(dst, {{0, 0, 0xFF000202},
                       {1, 1, 0xFF000303},
                       {2, 0, kBackground},
                       {0, 2, kBackground},
                       {5, 5, kBackground}});
}

TEST(BlitTest, OverlappingCopyWithinOneBitmapReadsTheOldPixels) {
    MemoryDc dc(4, 4);
    FillCoordinates(dc);
    ASSERT_TRUE(BitBlt(dc.dc(), 1, 0, 3, 4, dc.dc(), 0, 0, SRCCOPY));
    ExpectPixels(dc,
                 {{0, 0, 0xFF000000}, {1, 0, 0xFF000000}, {2, 0, 0xFF000100}, {3, 3, 0xFF000203}});
}

TEST(BlitTest, StretchTakesTheNearestSourcePixel) {
    MemoryDc src(4, 4);
    FillCoordinates(src);
    MemoryDc wide(8, 8);
    ASSERT_TRUE(StretchBlt(wide.dc(), 0, 0, 8, 8, src.dc(), 0, 0, 4, 4, SRCCOPY));
    ExpectPixels(wide, {{0, 0, 0xFF000000},
                        {1, 1, 0xFF000000},
                        {2, 1, 0xFF000100},
                        {7, 7, 0xFF000303},
                        {6, 5, 0xFF000302}});
    // Halving: the centres of destination pixels 0 and 1 fall on source boundaries 1 and 3,
    // which take source pixels 0 and 2.
    MemoryDc narrow(2, 2);
    ASSERT_TRUE(StretchBlt(narrow.dc(), 0, 0, 2, 2, src.dc(), 0, 0, 4, 4, SRCCOPY));
    ExpectPixels(narrow, {{0, 0, 0xFF000000}, {1, 0, 0xFF000200}, {1, 1, 0xFF000202}});
    // Three source pixels onto two: centres at 0.75 and 2.25.
    MemoryDc part(2, 1);
    ASSERT_TRUE(StretchBlt(part.dc(), 0, 0, 2, 1, src.dc(), 0, 0, 3, 1, SRCCOPY));
    ExpectPixels(part, {{0, 0, 0xFF000000}, {1, 0, 0xFF000200}});
}

struct BlendCase {
    const char* name;
    uint32_t source;  // premultiplied
    BYTE constantAlpha;
    BYTE alphaFormat;
    uint32_t result;  // over kBackground
};

// d' = s' + round(d * (255 - a') / 255), s' = round(s * c / 255) (draw.h).
const BlendCase kBlendCases[] = {
    {"transparent_pixel_leaves_the_background", 0x00000000, 255, AC_SRC_ALPHA, kBackground},
    {"opaque_pixel_replaces_it", 0xFF112233, 255, AC_SRC_ALPHA, 0xFF112233},
    // 64 + round(32 * 127 / 255) = 80; 32 + round(64 * 127 / 255) = 64;
    // 16 + round(128 * 127 / 255) = 80.
    {"half_transparent_pixel", 0x80402010, 255, AC_SRC_ALPHA, 0xFF504050},
    // s' = round(255 * 128 / 255) = 128 for alpha and blue; then as above.
    {"constant_alpha_on_an_opaque_pixel", 0xFF0000FF, 128, AC_SRC_ALPHA, 0xFF1020C0},
    // Without AC_SRC_ALPHA the source alpha (0 here) is taken as 255.
    {"constant_alpha_ignoring_source_alpha", 0x00FF0000, 128, 0, 0xFF902040},
    {"constant_alpha_zero_draws_nothing", 0xFF0000FF, 0, AC_SRC_ALPHA, kBackground},
};

void PrintTo(const BlendCase& c, std::ostream* os) {
    *os << c.name;
}

class BlendTest : public ::testing::TestWithParam<BlendCase> {};

TEST_P(BlendTest, SourceOverWithTheWrittenRounding) {
    const BlendCase& c = GetParam();
    MemoryDc src(3, 3);
    MemoryDc dst(5, 5);
    src.Fill(c.source);
    dst.Fill(kBackground);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, c.constantAlpha, c.alphaFormat};
    ASSERT_TRUE(AlphaBlend(dst.dc(), 1, 1, 3, 3, src.dc(), 0, 0, 3, 3, blend));
    // Every pixel of the image, its edges included, and nothing around it.
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 5; ++x) {
            const bool inside = x >= 1 && x <= 3 && y >= 1 && y <= 3;
            EXPECT_EQ(dst.At(x, y), inside ? c.result : kBackground) << x << ", " << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AlphaBlend, BlendTest, ::testing::ValuesIn(kBlendCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BlitTest, AlphaBlendRefusesBadArguments) {
    MemoryDc src(3, 3);
    MemoryDc dst(3, 3);
    const BLENDFUNCTION over{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    struct Case {
        const char* what;
        int sx, sy, sw, sh;
        BLENDFUNCTION blend;
    };
    const Case cases[] = {
        {"source past the right edge", 1, 0, 3, 3, over},
        {"source above the top", 0, -1, 3, 3, over},
        {"negative width", 0, 0, -1, 3, over},
        {"unknown operation", 0, 0, 3, 3, BLENDFUNCTION{1, 0, 255, AC_SRC_ALPHA}},
        {"blend flags", 0, 0, 3, 3, BLENDFUNCTION{AC_SRC_OVER, 1, 255, AC_SRC_ALPHA}},
    };
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_FALSE(AlphaBlend(dst.dc(), 0, 0, 3, 3, src.dc(), c.sx, c.sy, c.sw, c.sh, c.blend))
            << c.what;
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER) << c.what;
    }
}

TEST(BlitTest, BlitsRefuseUnknownContextsAndOperations) {
    MemoryDc dc(2, 2);
    HDC unknown = reinterpret_cast<HDC>(0x1234);
    EXPECT_FALSE(BitBlt(unknown, 0, 0, 1, 1, dc.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(BitBlt(dc.dc(), 0, 0, 1, 1, unknown, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(dc.dc(), 0, 0, 1, 1, dc.dc(), 0, 0, 0x00660046));
    EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
    EXPECT_FALSE(StretchBlt(dc.dc(), 0, 0, -1, 1, dc.dc(), 0, 0, 1, 1, SRCCOPY));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(BlitTest, TransparentBltSkipsTheKeyColour) {
    MemoryDc src(2, 1);
    MemoryDc dst(4, 2);
    src.At(0, 0) = 0xFFFF00FF;  // the key, magenta
    src.At(1, 0) = 0xFF123456;
    dst.Fill(kBackground);
    ASSERT_TRUE(TransparentBlt(dst.dc(), 0, 0, 4, 2, src.dc(), 0, 0, 2, 1, RGB(255, 0, 255)));
    ExpectPixels(
        dst, {{0, 0, kBackground}, {1, 1, kBackground}, {2, 0, 0xFF123456}, {3, 1, 0xFF123456}});
}

TEST(BlitTest, FillRectFillsRightAndBottomExclusive) {
    MemoryDc dc(4, 4);
    dc.Fill(kBackground);
    RECT r{1, 1, 3, 3};
    HBRUSH brush = CreateSolidBrush(RGB(0xAA, 0xBB, 0xCC));
    ASSERT_TRUE(FillRect(dc.dc(), &r, brush));
    ExpectPixels(dc, {{1, 1, 0xFFAABBCC},
                      {2, 2, 0xFFAABBCC},
                      {3, 3, kBackground},
                      {0, 1, kBackground},
                      {2, 3, kBackground}});
    // A class brush given as a system colour index plus one.
    RECT all{0, 0, 4, 4};
    ASSERT_TRUE(FillRect(dc.dc(), &all, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)));
    EXPECT_EQ(dc.At(3, 3), 0xFFFFFFFFu);
    DeleteObject(brush);
    EXPECT_FALSE(FillRect(dc.dc(), &r, brush));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

// A file in the test's temporary folder, removed at the end.
class TempPng {
public:
    explicit TempPng(const std::vector<uint8_t>& bytes)
        : path_(std::string(::testing::TempDir()) + "blit_test_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".png") {
        std::ofstream(path_, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    ~TempPng() { std::remove(path_.c_str()); }
    const char* path() const { return path_.c_str(); }

private:
    std::string path_;
};

TEST(ImageTest, PngBitmapBlendsWithItsAlphaAndTellsItHasAlpha) {
    // 2 x 1: opaque red, then half-transparent blue (straight alpha in the file).
    TempPng file(test::WritePng(test::PngSpec{
        2, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {255, 0, 0, 255, 0, 0, 255, 128}, {}, {}}));
    BOOL hasAlpha = FALSE;
    HBITMAP image = PalLoadPngA(file.path(), &hasAlpha);
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(hasAlpha);
    BITMAP info{};
    ASSERT_EQ(GetObjectA(image, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, 2);
    EXPECT_EQ(info.bmHeight, 1);
    HDC src = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(src, image);
    MemoryDc dst(2, 1);
    dst.Fill(kBackground);
    ASSERT_TRUE(AlphaBlend(dst.dc(), 0, 0, 2, 1, src, 0, 0, 2, 1,
                           BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA}));
    // Blue: 128 + round(128 * 127 / 255) = 192; red 0 + 16, green 0 + 32.
    ExpectPixels(dst, {{0, 0, 0xFFFF0000}, {1, 0, 0xFF1020C0}});
    SelectObject(src, old);
    DeleteDC(src);
    EXPECT_TRUE(DeleteObject(image));
}

TEST(ImageTest, PngBitmapFailures) {
    SetLastError(0);
    EXPECT_EQ(PalLoadPngA("/nonexistent/Top.png", nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    TempPng damaged({0x89, 'P', 'N', 'G', 1, 2, 3});
    EXPECT_EQ(PalLoadPngA(damaged.path(), nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_DATA);
}

TEST(ImageTest, IconDrawsBlendedAtItsOwnSizeOrScaled) {
    TempPng file(
        test::WritePng(test::PngSpec{2,
                                     2,
                                     PNG_COLOR_TYPE_RGB_ALPHA,
                                     8,
                                     {0, 0, 255, 128, 0, 0, 255, 128, 0, 0, 255, 128, 0, 0, 255, 0},
                                     {},
                                     {}}));
    HICON icon = PalLoadIconPngA(file.path());
    ASSERT_NE(icon, nullptr);
    int cx = 0, cy = 0;
    ASSERT_TRUE(PalGetIconSize(icon, &cx, &cy));
    EXPECT_EQ(cx, 2);
    EXPECT_EQ(cy, 2);
    MemoryDc dst(4, 4);
    dst.Fill(kBackground);
    ASSERT_TRUE(DrawIcon(dst.dc(), 1, 1, icon));
    ExpectPixels(dst, {{0, 0, kBackground},
                       {1, 1, 0xFF1020C0},
                       {2, 1, 0xFF1020C0},
                       {2, 2, kBackground},
                       {3, 3, kBackground}});
    dst.Fill(kBackground);
    ASSERT_TRUE(DrawIconEx(dst.dc(), 0, 0, icon, 4, 4, 0, nullptr, DI_NORMAL));
    ExpectPixels(dst, {{0, 0, 0xFF1020C0}, {3, 0, 0xFF1020C0}, {3, 3, kBackground}});
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_FALSE(DestroyIcon(icon));
    EXPECT_FALSE(DrawIcon(dst.dc(), 0, 0, icon));
}

}  // namespace
}  // namespace pal
