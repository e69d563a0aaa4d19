#include <gtest/gtest.h>

#include "draw/test/memory_dc.h"

namespace pal {
namespace {

HBITMAP NewBitmap() {
    return CreateCompatibleBitmap(nullptr, 2, 2);
}

TEST(GdiObjectTest, SelectObjectReturnsWhatItReplaces) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    HBITMAP first = NewBitmap();
    HBITMAP second = NewBitmap();
    HGDIOBJ placeholder = SelectObject(dc, first);
    ASSERT_NE(placeholder, nullptr);
    EXPECT_EQ(SelectObject(dc, second), first);
    EXPECT_EQ(SelectObject(dc, placeholder), second);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_EQ(SelectObject(dc, brush), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(dc, GetStockObject(WHITE_BRUSH)), brush);
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_TRUE(DeleteObject(first));
    EXPECT_TRUE(DeleteObject(second));
}

TEST(GdiObjectTest, BitmapGoesIntoOneContextAndStaysWhileSelected) {
    HDC a = CreateCompatibleDC(nullptr);
    HDC b = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = NewBitmap();
    ASSERT_NE(SelectObject(a, bitmap), nullptr);
    EXPECT_EQ(SelectObject(b, bitmap), nullptr);  // already in a
    EXPECT_FALSE(DeleteObject(bitmap));           // selected: not deleted
    EXPECT_TRUE(DeleteDC(a));                     // frees it again
    EXPECT_NE(SelectObject(b, bitmap), nullptr);
    EXPECT_TRUE(DeleteDC(b));
    EXPECT_TRUE(DeleteObject(bitmap));
}

TEST(GdiObjectTest, UnknownAndDeletedHandlesFail) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = NewBitmap();
    ASSERT_TRUE(DeleteObject(bitmap));
    SetLastError(0);
    EXPECT_FALSE(DeleteObject(bitmap));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(SelectObject(dc, bitmap), nullptr);
    EXPECT_EQ(GetObjectA(bitmap, sizeof(BITMAP), nullptr), 0);
    EXPECT_FALSE(DeleteObject(dc));  // a context is deleted with DeleteDC
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_BRUSH)));  // stock objects stay
    EXPECT_NE(GetStockObject(BLACK_BRUSH), nullptr);
}

TEST(GdiObjectTest, GetObjectDescribesBitmaps) {
    test::MemoryDc section(3, 5, true);
    BITMAP info{};
    EXPECT_EQ(GetObjectA(section.bitmap(), 0, nullptr), static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(GetObjectA(section.bitmap(), sizeof(BITMAP) - 1, &info), 0);
    ASSERT_EQ(GetObjectA(section.bitmap(), sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, 3);
    EXPECT_EQ(info.bmHeight, 5);
    EXPECT_EQ(info.bmWidthBytes, 12);
    EXPECT_EQ(info.bmBitsPixel, 32);
    EXPECT_EQ(info.bmBits, section.bits());
    HBITMAP compatible = NewBitmap();
    ASSERT_EQ(GetObjectA(compatible, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmBits, nullptr);
    DeleteObject(compatible);
}

TEST(GdiObjectTest, CreateDIBSectionRefusesOtherFormats) {
    struct Case {
        const char* what;
        LONG width, height;
        WORD bits;
        DWORD compression;
    };
    const Case cases[] = {
        {"24 bits", 2, 2, 24, BI_RGB},        {"compressed", 2, 2, 32, 3},
        {"zero width", 0, 2, 32, BI_RGB},     {"zero height", 2, 0, 32, BI_RGB},
        {"too wide", 1 << 20, 1, 32, BI_RGB},
    };
    for (const Case& c : cases) {
        BITMAPINFO info{};
        info.bmiHeader = {
            sizeof(BITMAPINFOHEADER), c.width, c.height, 1, c.bits, c.compression, 0, 0, 0, 0, 0};
        void* bits = reinterpret_cast<void*>(1);
        SetLastError(0);
        EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr)
            << c.what;
        EXPECT_EQ(bits, nullptr) << c.what;
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER) << c.what;
    }
    EXPECT_EQ(CreateCompatibleBitmap(nullptr, 0, 5), nullptr);
}

TEST(GdiObjectTest, RestoreDcBringsBackColoursObjectsAndClip) {
    test::MemoryDc dc(4, 1);
    HBITMAP other = NewBitmap();
    const int depth = SaveDC(dc.dc());
    EXPECT_EQ(depth, 1);
    HGDIOBJ section = SelectObject(dc.dc(), other);
    HRGN clip = CreateRectRgn(0, 0, 1, 1);
    SelectClipRgn(dc.dc(), clip);
    EXPECT_EQ(SaveDC(dc.dc()), 2);
    EXPECT_TRUE(RestoreDC(dc.dc(), -1));
    EXPECT_EQ(SelectObject(dc.dc(), other), other);  // depth 2 held `other`
    EXPECT_TRUE(RestoreDC(dc.dc(), depth));
    // The section is back, unclipped.
    RECT all{0, 0, 4, 1};
    ASSERT_TRUE(FillRect(dc.dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))));
    EXPECT_EQ(dc.At(3, 0), 0xFFFFFFFFu);
    EXPECT_EQ(SelectObject(dc.dc(), section), section);
    EXPECT_FALSE(RestoreDC(dc.dc(), 1));  // nothing saved any more
    DeleteObject(clip);
    EXPECT_TRUE(DeleteObject(other));
}

}  // namespace
}  // namespace pal
