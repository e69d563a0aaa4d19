#include "window/paint_source.h"

#include "window/window_object.h"

namespace pal {

void PaintSource::Add(const std::shared_ptr<Window>& window) {
    std::lock_guard<std::mutex> guard(lock_);
    windows_.push_back(window);
}

void PaintSource::Remove(HWND hwnd) {
    std::lock_guard<std::mutex> guard(lock_);
    std::erase_if(windows_, [&](const std::weak_ptr<Window>& entry) {
        auto window = entry.lock();
        return !window || window->hwnd == hwnd;
    });
}

bool PaintSource::Take(const MessageFilter& filter, bool, MSG* msg, std::optional<WakeTime>*) {
    std::vector<std::shared_ptr<Window>> windows;
    {
        std::lock_guard<std::mutex> guard(lock_);
        for (const auto& entry : windows_) {
            if (auto window = entry.lock()) {
                windows.push_back(std::move(window));
            }
        }
    }
    for (const auto& window : windows) {
        MSG paint{window->hwnd, WM_PAINT, 0, 0, GetTickCount(), {0, 0}};
        if (filter.Matches(paint) && window->NeedsPaint()) {
            *msg = paint;
            return true;
        }
    }
    return false;
}

}  // namespace pal
