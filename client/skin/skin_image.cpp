#include "skin_image.h"

#include "dir_and_ini.h"

std::string SkinFilePath(const std::string& basePath, const std::string& name) {
    return basePath + "Skin" + kPathSeparator + name;
}

bool CSkinImage::Load(const std::string& name) {
    return SUCCEEDED(image.Load(SkinFilePath(basePath, name).c_str()));
}

void CSkinImage::SetRect(const RECT& placement) {
    rect = placement;
    x = rect.left;
    y = rect.top;
    width = rect.right - rect.left;
    height = rect.bottom - rect.top;
}

bool CSkinImage::Draw(HDC dc) const {
    if (!dc) {
        return false;
    }
    return image.Draw(dc, x, y) != FALSE;
}
