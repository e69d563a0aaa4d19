#include "skin_frame.h"

#include "skin_layout.h"

void DrawSkinFrame(HDC dc, const SkinFrame& frame) {
    const struct {
        CSkinImage* image;
        RECT place;
    } strips[] = {{frame.left, skin_layout::kLeft},
                  {frame.right, skin_layout::kRight},
                  {frame.top, skin_layout::kTop},
                  {frame.bottom, skin_layout::kBottom}};
    for (const auto& strip : strips) {
        strip.image->SetRect(strip.place);
        strip.image->Draw(dc);
    }
    for (CSkinButton* button : frame.buttons) {
        button->Draw(dc);
    }
}
