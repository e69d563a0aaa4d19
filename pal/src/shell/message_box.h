// The process's message boxes: each box shown is recorded; an open box waits for its answer,
// which the box's own thread takes in its modal loop or another thread gives.
#pragma once

#include <deque>
#include <mutex>
#include <optional>
#include <vector>

#include "windows.h"

namespace pal::shell {

class MessageBoxes {
public:
    static MessageBoxes& Get();

    // Records a new open box and returns its id; sets *held to whether it waits for an answer.
    DWORD Open(const PalMessageBox& box, bool* held);
    // Records the answer of an open box; false when it is not open.
    bool Answer(DWORD id, int button);
    // The answer of the box, nothing while it is open.
    std::optional<int> AnswerOf(DWORD id);
    std::vector<PalMessageBox> All();
    void Hold(bool hold);

private:
    static constexpr size_t kClosedKept = 64;  // closed boxes kept for reading
    void DropOldClosedLocked();

    std::mutex lock_;
    std::deque<PalMessageBox> boxes_;  // oldest first
    DWORD next_ = 1;
    bool hold_ = false;
};

// The buttons of a box type's low four bits, in order; empty for an unknown set.
std::vector<int> ButtonsOf(UINT type);

}  // namespace pal::shell
