// The main window's hit code over its rows and columns.
#include <gtest/gtest.h>

#include "frame_hit_code.h"

namespace {

TEST(FrameHitCodeTest, TheTopAndBottomRowsAndTheOutsideAreHtClose) {
    const RECT window = {549, 229, 1371, 850};  // 822 x 621
    struct {
        POINT point;
        LRESULT code;
    } const kPoints[] = {
        {{549, 229}, HTCLOSE},   {{900, 229}, HTCLOSE},  {{900, 849}, HTCLOSE},
        {{900, 230}, HTCLIENT},  {{900, 848}, HTCLIENT}, {{549, 500}, HTCLIENT},
        {{1370, 500}, HTCLIENT}, {{1371, 500}, HTCLOSE}, {{548, 500}, HTCLOSE},
        {{900, 228}, HTCLOSE},   {{900, 850}, HTCLOSE},
    };
    for (const auto& p : kPoints) {
        EXPECT_EQ(FrameHitCode(window, p.point), p.code) << p.point.x << ", " << p.point.y;
    }
}

}  // namespace
