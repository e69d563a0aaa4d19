// For the skin's tests: a window of the test thread that stands for the running main window
// (GetMainDlgWindow returns it while the object lives), and a 32-bit canvas to draw on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "windows.h"

namespace skintest {

// "(left, top, right, bottom)", so that rectangles compare with a readable message.
inline std::string Text(const RECT& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
           std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")";
}

// The installation's folder that holds "Skin/", with its trailing separator.
inline std::string InstallBase() {
    return std::string(BR_BIN_DIR) + "/";
}

class TestMainWindow {
public:
    TestMainWindow();
    ~TestMainWindow();
    TestMainWindow(const TestMainWindow&) = delete;
    TestMainWindow& operator=(const TestMainWindow&) = delete;

    HWND Handle() const { return hwnd_; }
    // The messages posted to the window since the last call, taken out of the queue.
    std::vector<MSG> TakePosted();
    // The box of the part to paint, or an empty rectangle when nothing is to be painted.
    RECT UpdateBox() const;

private:
    HWND hwnd_;
};

// A top-down canvas of width x height pixels in a memory context, every pixel `fill`.
class Canvas {
public:
    Canvas(int width, int height, uint32_t fill);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return dc_; }
    uint32_t At(int x, int y) const { return static_cast<const uint32_t*>(bits_)[y * width_ + x]; }
    // The box of the pixels that differ from the fill; empty when none does.
    RECT ChangedBox() const;
    // Whether the two canvases hold the same pixels.
    bool SamePixels(const Canvas& other) const;

private:
    int width_;
    int height_;
    uint32_t fill_;
    void* bits_ = nullptr;
    HBITMAP bitmap_;
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace skintest
