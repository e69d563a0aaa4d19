#include "debug_overlay.h"

#include <windows.h>

void CDebugOverlay::ShowDebugText(const std::string& text, bool transparent) {
    if (text.empty()) {
        return;
    }
    const std::string line = std::to_string(static_cast<int32_t>(counter_)) + ":" + text;
    ++counter_;
    if (lines_.size() >= kMaxLines) {
        lines_.pop_front();
        if (transparent) {
            InvalidateRect(nullptr, nullptr, TRUE);
        }
    }
    lines_.push_back(line);

    HDC screen = GetDC(nullptr);
    if (screen == nullptr) {
        return;  // the line is kept for the next call
    }
    int y = kTop;
    for (const std::string& held : lines_) {
        const int previous = transparent ? SetBkMode(screen, TRANSPARENT) : 0;
        TextOutA(screen, kLeft, y, held.data(), static_cast<int>(held.size()));
        if (transparent) {
            SetBkMode(screen, previous);
        }
        y += kRowHeight;
    }
    ReleaseDC(nullptr, screen);
}

void ShowDebugText(const std::string& text, bool transparent) {
    static CDebugOverlay overlay;  // lives until the process ends
    overlay.ShowDebugText(text, transparent);
}
