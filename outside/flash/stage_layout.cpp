#include "stage_layout.h"

#include <algorithm>
#include <cmath>

namespace flash {
namespace {

int32_t Round(double value) {
    return int32_t(std::lround(value));
}

}  // namespace

int32_t StageLayout::AreaX(int32_t stageX) const {
    return Round(originX + stageX * scaleX);
}
int32_t StageLayout::AreaY(int32_t stageY) const {
    return Round(originY + stageY * scaleY);
}
int32_t StageLayout::StageX(int32_t areaX) const {
    return int32_t(std::floor((areaX - originX) / scaleX));
}
int32_t StageLayout::StageY(int32_t areaY) const {
    return int32_t(std::floor((areaY - originY) / scaleY));
}

StageLayout LayOutStage(int32_t mode, int32_t stageWidth, int32_t stageHeight, int32_t areaWidth,
                        int32_t areaHeight) {
    StageLayout layout;
    if (stageWidth <= 0 || stageHeight <= 0 || areaWidth <= 0 || areaHeight <= 0)
        return layout;
    const double fitX = double(areaWidth) / stageWidth, fitY = double(areaHeight) / stageHeight;
    switch (mode) {
        case kScaleExactFit:
            layout.scaleX = fitX;
            layout.scaleY = fitY;
            return layout;  // the stage covers the area exactly: its origin is the area's
        case kScaleNoScale:
            break;
        case kScaleNoBorder:
            layout.scaleX = layout.scaleY = std::max(fitX, fitY);
            break;
        default:
            layout.scaleX = layout.scaleY = std::min(fitX, fitY);
            break;
    }
    layout.originX = (areaWidth - stageWidth * layout.scaleX) / 2;
    layout.originY = (areaHeight - stageHeight * layout.scaleY) / 2;
    return layout;
}

}  // namespace flash
