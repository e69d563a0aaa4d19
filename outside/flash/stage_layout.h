// How the scale mode lays the movie's stage out in the control's area: the scale on each axis
// and where the stage's origin lands, and the way back from a point of the area to the stage.
#pragma once

#include <cstdint>

namespace flash {

// The scale modes, as the ScaleMode property and the persisted state's Scale name them.
inline constexpr int32_t kScaleShowAll = 0;   // all of the stage, uniformly, centred
inline constexpr int32_t kScaleNoBorder = 1;  // the whole area covered, uniformly, centred
inline constexpr int32_t kScaleExactFit = 2;  // the stage stretched to the area on each axis
inline constexpr int32_t kScaleNoScale = 3;   // the stage at its own size, centred

// Each mode with the name the persisted state stores and the text of the context menu's item.
struct ScaleModeName {
    int32_t mode;
    const char* stored;
    const char* shown;
};
inline constexpr ScaleModeName kScaleModeNames[] = {
    {kScaleShowAll, "ShowAll", "Show all"},
    {kScaleNoBorder, "NoBorder", "No border"},
    {kScaleExactFit, "ExactFit", "Exact fit"},
    {kScaleNoScale, "NoScale", "No scale"},
};

struct StageLayout {
    double scaleX = 1, scaleY = 1;
    double originX = 0, originY = 0;  // the stage's top-left corner in the area

    // A point of the stage in the area, and a point of the area on the stage (rounded down).
    int32_t AreaX(int32_t stageX) const;
    int32_t AreaY(int32_t stageY) const;
    int32_t StageX(int32_t areaX) const;
    int32_t StageY(int32_t areaY) const;
};

// The layout of a stage of stageWidth x stageHeight in an area of areaWidth x areaHeight. A
// mode the control does not know lays the stage out as kScaleShowAll; an empty stage or area
// is not scaled.
StageLayout LayOutStage(int32_t mode, int32_t stageWidth, int32_t stageHeight, int32_t areaWidth,
                        int32_t areaHeight);

}  // namespace flash
