// Test support: pictures read back as pixels. A saved PNG (the screen or a window) drawn into a
// canvas, and the main window's skin as it should look, drawn with the installation's pictures
// onto a canvas of the window's size, so that a test compares rectangles of the two.
#pragma once

#include <memory>
#include <string>

#include "test_main_window.h"
#include "windows.h"

namespace brdjtest {

using skintest::Canvas;

// The PNG file's pixels in a canvas of its size; null when it cannot be read.
std::unique_ptr<Canvas> ReadPicture(const std::string& path, int width, int height);

// The strips and the four buttons (close, minimise, help, feedback) in the looks given by their
// file suffixes ("N", "F", "S"), on a black canvas of the window's size.
std::unique_ptr<Canvas> ExpectedSkin(const std::string (&looks)[4]);

// Whether the two canvases hold the same pixels in the rectangle (each at its own offset); when
// not, `where` (if given) names the first point that differs and both colours.
bool SameArea(const Canvas& a, int ax, int ay, const Canvas& b, const RECT& area,
              std::string* where = nullptr);

}  // namespace brdjtest
