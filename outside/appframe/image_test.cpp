// CImage: a PNG with transparency is blended onto the destination with its alpha, one without
// is copied; an image that cannot be loaded is empty and draws nothing.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "image.h"
#include "test/png_writer.h"
#include "test_root.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;

// A top-down 4 x 3 destination of white pixels in a memory context.
class Destination {
public:
    Destination() {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), 4, -3, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        dc_ = CreateCompatibleDC(nullptr);
        old_ = SelectObject(dc_, bitmap_);
        for (int i = 0; i < 12; ++i) Pixels()[i] = kWhite;
    }
    ~Destination() {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    HDC dc() const { return dc_; }
    uint32_t* Pixels() const { return static_cast<uint32_t*>(bits_); }
    uint32_t At(int x, int y) const { return Pixels()[y * 4 + x]; }

private:
    HBITMAP bitmap_;
    void* bits_ = nullptr;
    HDC dc_;
    HGDIOBJ old_;
};

class ImageTest : public ::testing::Test {
protected:
    std::string Png(const char* name, const pal::test::PngSpec& spec) {
        std::vector<uint8_t> bytes = pal::test::WritePng(spec);
        std::string path = dir_.Path() + "/" + name;
        EXPECT_TRUE(brtest::WriteFile(path, std::string(bytes.begin(), bytes.end())));
        return path;
    }
    brtest::ScopedTestRoot dir_;
};

TEST_F(ImageTest, AnImageWithAlphaIsBlendedAtItsOwnSize) {
    // Half-transparent red, then opaque blue (RGBA).
    std::string path = Png("alpha.png", {2, 1, 6, 8, {255, 0, 0, 128, 0, 0, 255, 255}, {}, {}});
    CImage image;
    ASSERT_EQ(image.Load(path.c_str()), S_OK);
    EXPECT_FALSE(image.IsNull());
    EXPECT_EQ(image.GetWidth(), 2);
    EXPECT_EQ(image.GetHeight(), 1);
    EXPECT_TRUE(image.HasAlpha());
    Destination dest;
    EXPECT_TRUE(image.Draw(dest.dc(), 1, 1));
    // Premultiplied red 128 over white: 128 + 127, 0 + 127, 0 + 127, alpha 128 + 127.
    EXPECT_EQ(dest.At(1, 1), 0xFFFF7F7Fu);
    EXPECT_EQ(dest.At(2, 1), 0xFF0000FFu);
    for (auto [x, y] : {std::pair{0, 1}, {3, 1}, {1, 0}, {1, 2}}) {
        EXPECT_EQ(dest.At(x, y), kWhite) << x << "," << y << " is outside the image";
    }
}

TEST_F(ImageTest, AnImageWithoutAlphaIsCopied) {
    std::string path = Png("opaque.png", {1, 1, 2, 8, {10, 20, 30}, {}, {}});
    CImage image;
    ASSERT_EQ(image.Load(path.c_str()), S_OK);
    EXPECT_FALSE(image.HasAlpha());
    Destination dest;
    dest.Pixels()[0] = 0;  // a transparent destination pixel takes the copy whole
    EXPECT_TRUE(image.Draw(dest.dc(), 0, 0));
    EXPECT_EQ(dest.At(0, 0), 0xFF0A141Eu);
    EXPECT_EQ(dest.At(1, 0), kWhite);
}

TEST_F(ImageTest, AnImageThatCannotBeLoadedIsEmptyAndDrawsNothing) {
    std::string good = Png("good.png", {1, 1, 2, 8, {10, 20, 30}, {}, {}});
    std::string junk = dir_.Path() + "/junk.png";
    ASSERT_TRUE(brtest::WriteFile(junk, "not a png"));
    for (const std::string& bad : {dir_.Path() + "/missing.png", junk}) {
        SCOPED_TRACE(bad);
        CImage image;
        ASSERT_EQ(image.Load(good.c_str()), S_OK);
        EXPECT_EQ(image.Load(bad.c_str()), E_FAIL);
        EXPECT_TRUE(image.IsNull()) << "a failed load leaves no earlier image behind";
        EXPECT_EQ(image.GetWidth(), 0);
        Destination dest;
        EXPECT_FALSE(image.Draw(dest.dc(), 0, 0));
        EXPECT_EQ(dest.At(0, 0), kWhite);
    }
    CImage image;
    ASSERT_EQ(image.Load(good.c_str()), S_OK);
    EXPECT_FALSE(image.Draw(nullptr, 0, 0));
}

}  // namespace
