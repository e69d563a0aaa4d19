#include "test_main_window.h"

#include <algorithm>
#include <cstring>

#include "main_dlg_window.h"

namespace {

HWND g_testMainWindow = nullptr;

constexpr char kClassName[] = "SkinTestMainWindow";

}  // namespace

HWND GetMainDlgWindow() {
    return g_testMainWindow;
}

namespace skintest {

TestMainWindow::TestMainWindow() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = kClassName;
    RegisterClassA(&wc);
    hwnd_ = CreateWindowExA(0, kClassName, "", WS_POPUP, 0, 0, 822, 621, nullptr, nullptr, nullptr,
                            nullptr);
    ValidateRect(hwnd_, nullptr);
    g_testMainWindow = hwnd_;
}

TestMainWindow::~TestMainWindow() {
    g_testMainWindow = nullptr;
    DestroyWindow(hwnd_);
}

std::vector<MSG> TestMainWindow::TakePosted() {
    std::vector<MSG> posted;
    MSG msg;
    while (PeekMessageA(&msg, hwnd_, 0, 0, PM_REMOVE)) {
        if (msg.message != WM_PAINT && msg.message != WM_TIMER)
            posted.push_back(msg);
    }
    return posted;
}

RECT TestMainWindow::UpdateBox() const {
    RECT box{};
    if (!GetUpdateRect(hwnd_, &box, FALSE))
        box = RECT{};
    return box;
}

Canvas::Canvas(int width, int height, uint32_t fill) : width_(width), height_(height), fill_(fill) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    dc_ = CreateCompatibleDC(nullptr);
    old_ = SelectObject(dc_, bitmap_);
    std::fill_n(static_cast<uint32_t*>(bits_), static_cast<size_t>(width) * height, fill);
}

Canvas::~Canvas() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
}

RECT Canvas::ChangedBox() const {
    RECT box{width_, height_, 0, 0};
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            if (At(x, y) != fill_) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
        }
    }
    return box.right == 0 ? RECT{} : box;
}

bool Canvas::SamePixels(const Canvas& other) const {
    return width_ == other.width_ && height_ == other.height_ &&
           std::memcmp(bits_, other.bits_, static_cast<size_t>(width_) * height_ * 4) == 0;
}

}  // namespace skintest
