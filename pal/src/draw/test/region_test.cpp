#include <gtest/gtest.h>

#include "draw/test/memory_dc.h"

namespace pal {
namespace {

struct Probe {
    int x, y;
    bool inside;
};

// The main window's region: 822 x 621 with 5 x 5 corner ellipses, made from (0, 0) to
// (width + 1, height + 1).
TEST(RegionTest, RoundedWindowRegionLeavesOutItsCorners) {
    HRGN region = CreateRoundRectRgn(0, 0, 823, 622, 5, 5);
    ASSERT_NE(region, nullptr);
    const Probe probes[] = {
        {0, 0, false},     {821, 0, false},   {0, 620, false},  {821, 620, false},
        {1, 0, true},      {0, 1, true},      {820, 0, true},   {821, 1, true},
        {0, 619, true},    {1, 620, true},    {820, 620, true}, {411, 310, true},
        {822, 300, false}, {300, 621, false}, {411, 0, true},   {0, 310, true},
    };
    for (const Probe& p : probes) {
        EXPECT_EQ(PtInRegion(region, p.x, p.y), p.inside ? TRUE : FALSE) << p.x << ", " << p.y;
    }
    RECT box{};
    EXPECT_EQ(GetRgnBox(region, &box), COMPLEXREGION);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 822);
    EXPECT_EQ(box.bottom, 621);
    EXPECT_TRUE(DeleteObject(region));
    EXPECT_FALSE(PtInRegion(region, 1, 1));
}

TEST(RegionTest, RectRegionIsRightAndBottomExclusive) {
    HRGN region = CreateRectRgn(4, 4, 1, 2);  // corners in either order
    const Probe probes[] = {
        {1, 2, true}, {3, 3, true}, {4, 3, false}, {3, 4, false}, {0, 2, false}};
    for (const Probe& p : probes) {
        EXPECT_EQ(PtInRegion(region, p.x, p.y), p.inside ? TRUE : FALSE) << p.x << ", " << p.y;
    }
    RECT box{};
    EXPECT_EQ(GetRgnBox(region, &box), SIMPLEREGION);
    DeleteObject(region);
}

TEST(RegionTest, CombineRgnModes) {
    HRGN a = CreateRectRgn(0, 0, 2, 1);
    HRGN b = CreateRectRgn(1, 0, 3, 1);
    HRGN out = CreateRectRgn(0, 0, 0, 0);
    struct Case {
        int mode;
        int type;
        bool in0, in1, in2;  // pixels 0, 1, 2 of the row
    };
    const Case cases[] = {
        {RGN_AND, SIMPLEREGION, false, true, false}, {RGN_OR, SIMPLEREGION, true, true, true},
        {RGN_XOR, COMPLEXREGION, true, false, true}, {RGN_DIFF, SIMPLEREGION, true, false, false},
        {RGN_COPY, SIMPLEREGION, true, true, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CombineRgn(out, a, b, c.mode), c.type) << c.mode;
        EXPECT_EQ(PtInRegion(out, 0, 0), c.in0 ? TRUE : FALSE) << c.mode;
        EXPECT_EQ(PtInRegion(out, 1, 0), c.in1 ? TRUE : FALSE) << c.mode;
        EXPECT_EQ(PtInRegion(out, 2, 0), c.in2 ? TRUE : FALSE) << c.mode;
    }
    EXPECT_EQ(CombineRgn(out, a, b, 99), ERROR);
    EXPECT_EQ(CombineRgn(out, a, nullptr, RGN_AND), ERROR);
    DeleteObject(a);
    DeleteObject(b);
    DeleteObject(out);
}

TEST(RegionTest, ClipRegionLimitsDrawingToItsRoundedCorners) {
    test::MemoryDc dc(10, 10);
    HRGN round = CreateRoundRectRgn(0, 0, 11, 11, 5, 5);
    EXPECT_EQ(SelectClipRgn(dc.dc(), round), COMPLEXREGION);
    DeleteObject(round);  // the context keeps its own copy
    RECT all{0, 0, 10, 10};
    ASSERT_TRUE(FillRect(dc.dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))));
    EXPECT_EQ(dc.At(0, 0), 0u);
    EXPECT_EQ(dc.At(9, 9), 0u);
    EXPECT_EQ(dc.At(1, 0), 0xFFFFFFFFu);
    EXPECT_EQ(dc.At(5, 5), 0xFFFFFFFFu);
    EXPECT_EQ(SelectClipRgn(dc.dc(), nullptr), SIMPLEREGION);
    ASSERT_TRUE(FillRect(dc.dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))));
    EXPECT_EQ(dc.At(0, 0), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace pal
