// GetSystemMetrics and the screen's size.
#include "desktop/desktop_call.h"

namespace {

// The fixed metrics of the desktop, as Windows gives them at 96 dots per inch.
constexpr struct {
    int index;
    int value;
} kFixedMetrics[] = {
    {SM_CXICON, 32},     {SM_CYICON, 32},     {SM_CXCURSOR, 32}, {SM_CYCURSOR, 32},
    {SM_CXDOUBLECLK, 4}, {SM_CYDOUBLECLK, 4}, {SM_CXSMICON, 16}, {SM_CYSMICON, 16},
    {SM_CXDRAG, 4},      {SM_CYDRAG, 4},
};

}  // namespace

// Differs from Windows: the screen is PalSetScreenSize's; other indexes than those listed give 0.
int GetSystemMetrics(int nIndex) {
    pal::Extent screen = pal::Desktop::Get().ScreenSize();
    if (nIndex == SM_CXSCREEN) {
        return screen.cx;
    }
    if (nIndex == SM_CYSCREEN) {
        return screen.cy;
    }
    for (const auto& metric : kFixedMetrics) {
        if (metric.index == nIndex) {
            return metric.value;
        }
    }
    return 0;
}

BOOL PalSetScreenSize(int cx, int cy) {
    if (cx < 1 || cy < 1) {
        return pal::FailWith(ERROR_INVALID_PARAMETER, FALSE);
    }
    pal::Desktop::Get().SetScreenSize(pal::Extent{cx, cy});
    return TRUE;
}
