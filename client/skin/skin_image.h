// CSkinImage: one frame picture of the main window, loaded from the installation's "Skin/"
// folder and drawn at its placement's top-left corner at its own size.
#pragma once

#include <string>

#include "appframe.h"

class CSkinImage {
public:
    // basePath := the folder that holds "Skin/" (with its trailing separator).
    void SetBasePath(const std::string& path) { basePath = path; }
    // Loads basePath + "Skin/" + name; true when the file decoded.
    bool Load(const std::string& name);
    // The placement; only its top-left corner decides where the picture goes.
    void SetRect(const RECT& placement);
    // False for a null context; otherwise draws the picture at (x, y) at its own size and says
    // whether that succeeded (false for an empty picture).
    bool Draw(HDC dc) const;

    int GetX() const { return x; }
    int GetY() const { return y; }
    int GetWidth() const { return width; }
    int GetHeight() const { return height; }
    const CImage& GetImage() const { return image; }

private:
    CImage image;
    std::string basePath;
    RECT rect{};
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The path of a skin file under the folder that holds "Skin/".
std::string SkinFilePath(const std::string& basePath, const std::string& name);
