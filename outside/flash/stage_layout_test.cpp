// The scale modes laying a stage out in the control's area, and a point of the area back on the
// stage, as a table of stages, areas and where the stage's corners land.
#include <gtest/gtest.h>

#include "stage_layout.h"

namespace {

using namespace flash;

TEST(LayOutStage, EachModePlacesTheStagesCornersInTheArea) {
    const struct {
        const char* name;
        int32_t mode, stageW, stageH, areaW, areaH;
        int32_t left, top, right, bottom;  // where the stage's corners land
    } cases[] = {
        // A wide stage in a taller area: show all bands it above and below, no border crops its
        // sides, exact fit stretches it, no scale centres it at its own size.
        {"show all", kScaleShowAll, 200, 100, 400, 300, 0, 50, 400, 250},
        {"no border", kScaleNoBorder, 200, 100, 400, 300, -100, 0, 500, 300},
        {"exact fit", kScaleExactFit, 200, 100, 400, 300, 0, 0, 400, 300},
        {"no scale", kScaleNoScale, 200, 100, 400, 300, 100, 100, 300, 200},
        // A tall stage: the bands and crops change axis.
        {"show all, tall stage", kScaleShowAll, 100, 200, 400, 300, 125, 0, 275, 300},
        {"no border, tall stage", kScaleNoBorder, 100, 200, 400, 300, 0, -250, 400, 550},
        // A stage larger than the area.
        {"show all, shrunk", kScaleShowAll, 800, 600, 400, 300, 0, 0, 400, 300},
        {"no scale, larger stage", kScaleNoScale, 800, 600, 400, 300, -200, -150, 600, 450},
        // The stage of the area's size: every mode leaves it as it is.
        {"no scale, same size", kScaleNoScale, 814, 580, 814, 580, 0, 0, 814, 580},
        {"show all, same size", kScaleShowAll, 814, 580, 814, 580, 0, 0, 814, 580},
        // A mode the control does not know is show all; an empty area scales nothing.
        {"unknown mode", 7, 200, 100, 400, 300, 0, 50, 400, 250},
        {"negative mode", -1, 200, 100, 400, 300, 0, 50, 400, 250},
        {"empty area", kScaleShowAll, 200, 100, 0, 0, 0, 0, 200, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StageLayout layout = LayOutStage(c.mode, c.stageW, c.stageH, c.areaW, c.areaH);
        EXPECT_EQ(layout.AreaX(0), c.left);
        EXPECT_EQ(layout.AreaY(0), c.top);
        EXPECT_EQ(layout.AreaX(c.stageW), c.right);
        EXPECT_EQ(layout.AreaY(c.stageH), c.bottom);
    }
}

TEST(LayOutStage, APointOfTheAreaFallsOnTheStagePointDrawnThere) {
    const struct {
        int32_t mode;
        int32_t areaX, areaY;
        int32_t stageX, stageY;
    } cases[] = {
        {kScaleShowAll, 0, 50, 0, 0},        {kScaleShowAll, 1, 51, 0, 0},
        {kScaleShowAll, 2, 52, 1, 1},        {kScaleShowAll, 0, 49, 0, -1},  // the band above
        {kScaleNoBorder, 0, 0, 33, 0},       {kScaleNoBorder, 399, 299, 166, 99},
        {kScaleExactFit, 399, 299, 199, 99}, {kScaleExactFit, 200, 150, 100, 50},
        {kScaleNoScale, 100, 100, 0, 0},     {kScaleNoScale, 99, 99, -1, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.mode) + " at " + std::to_string(c.areaX) + "," +
                     std::to_string(c.areaY));
        StageLayout layout = LayOutStage(c.mode, 200, 100, 400, 300);
        EXPECT_EQ(layout.StageX(c.areaX), c.stageX);
        EXPECT_EQ(layout.StageY(c.areaY), c.stageY);
    }
}

}  // namespace
