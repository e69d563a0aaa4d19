#include "pixels.h"

#include <cstdio>

#include "skin_frame.h"
#include "skin_layout.h"

namespace brdjtest {

std::unique_ptr<Canvas> ReadPicture(const std::string& path, int width, int height) {
    CImage image;
    if (FAILED(image.Load(path.c_str())))
        return nullptr;
    auto canvas = std::make_unique<Canvas>(width, height, 0xFF000000u);
    image.Draw(canvas->dc(), 0, 0);
    return canvas;
}

std::unique_ptr<Canvas> ExpectedSkin(const std::string (&looks)[4]) {
    auto canvas = std::make_unique<Canvas>(skin_layout::kWindowWidth, skin_layout::kWindowHeight,
                                           0xFF000000u);
    std::string base = std::string(BR_BIN_DIR) + "/";
    CSkinImage left, right, top, bottom;
    CSkinImage* strips[] = {&left, &right, &top, &bottom};
    const char* files[] = {"Left.png", "Right.png", "Top.png", "Bottom.png"};
    for (int i = 0; i < 4; ++i) {
        strips[i]->SetBasePath(base);
        strips[i]->Load(files[i]);
    }
    const char* names[] = {"BtnClose", "BtnMin", "BtnHelp", "BtnFeedback"};
    const RECT places[] = {skin_layout::kClose, skin_layout::kMin, skin_layout::kHelp,
                           skin_layout::kFeedback};
    const std::string suffixes = "NSFD";
    CSkinButton buttons[4];
    for (int i = 0; i < 4; ++i) {
        buttons[i].Load(base, names[i]);
        buttons[i].SetRect(places[i]);
        buttons[i].SetState(static_cast<int>(suffixes.find(looks[i])), 0);
    }
    DrawSkinFrame(
        canvas->dc(),
        SkinFrame{
            &left, &right, &top, &bottom, {&buttons[0], &buttons[1], &buttons[2], &buttons[3]}});
    return canvas;
}

bool SameArea(const Canvas& a, int ax, int ay, const Canvas& b, const RECT& area,
              std::string* where) {
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            uint32_t got = a.At(ax + x, ay + y) & 0xFFFFFFu;
            uint32_t want = b.At(x, y) & 0xFFFFFFu;
            if (got != want) {
                if (where) {
                    char text[96];
                    std::snprintf(text, sizeof text, "at %d,%d: 0x%06X, expected 0x%06X", x, y, got,
                                  want);
                    *where = text;
                }
                return false;
            }
        }
    }
    return true;
}

}  // namespace brdjtest
