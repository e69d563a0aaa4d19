// WM_PAINT for the windows of one thread: while a visible window has a part to paint, taking a
// message gives it WM_PAINT (oldest window first); taking it does not remove it, only painting
// (BeginPaint) does, as on Windows.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "window/message_queue.h"

namespace pal {

class Window;

class PaintSource : public MessageSource {
public:
    void Add(const std::shared_ptr<Window>& window);
    void Remove(HWND hwnd);

    bool Take(const MessageFilter& filter, bool remove, MSG* msg,
              std::optional<WakeTime>* wakeAt) override;

private:
    std::mutex lock_;
    std::vector<std::weak_ptr<Window>> windows_;  // in creation order
};

}  // namespace pal
