#include "shell/message_box.h"

#include <algorithm>

namespace pal::shell {

std::vector<int> ButtonsOf(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_OK:
            return {IDOK};
        case MB_OKCANCEL:
            return {IDOK, IDCANCEL};
        case MB_ABORTRETRYIGNORE:
            return {IDABORT, IDRETRY, IDIGNORE};
        case MB_YESNOCANCEL:
            return {IDYES, IDNO, IDCANCEL};
        case MB_YESNO:
            return {IDYES, IDNO};
        case MB_RETRYCANCEL:
            return {IDRETRY, IDCANCEL};
        case MB_CANCELTRYCONTINUE:
            return {IDCANCEL, IDTRYAGAIN, IDCONTINUE};
        default:
            return {};
    }
}

MessageBoxes& MessageBoxes::Get() {
    static MessageBoxes* boxes = new MessageBoxes;  // never destroyed: a box may end at exit
    return *boxes;
}

DWORD MessageBoxes::Open(const PalMessageBox& box, bool* held) {
    std::lock_guard<std::mutex> guard(lock_);
    boxes_.push_back(box);
    boxes_.back().id = next_++;
    boxes_.back().answer = 0;
    *held = hold_;
    DropOldClosedLocked();
    return boxes_.back().id;
}

bool MessageBoxes::Answer(DWORD id, int button) {
    std::lock_guard<std::mutex> guard(lock_);
    for (PalMessageBox& box : boxes_) {
        if (box.id == id && box.answer == 0) {
            box.answer = button;
            return true;
        }
    }
    return false;
}

std::optional<int> MessageBoxes::AnswerOf(DWORD id) {
    std::lock_guard<std::mutex> guard(lock_);
    for (const PalMessageBox& box : boxes_) {
        if (box.id == id) {
            return box.answer ? std::optional<int>(box.answer) : std::nullopt;
        }
    }
    return std::nullopt;
}

std::vector<PalMessageBox> MessageBoxes::All() {
    std::lock_guard<std::mutex> guard(lock_);
    return std::vector<PalMessageBox>(boxes_.begin(), boxes_.end());
}

void MessageBoxes::Hold(bool hold) {
    std::lock_guard<std::mutex> guard(lock_);
    hold_ = hold;
}

// Open boxes always stay.
void MessageBoxes::DropOldClosedLocked() {
    size_t closed = std::count_if(boxes_.begin(), boxes_.end(),
                                  [](const PalMessageBox& box) { return box.answer != 0; });
    for (auto it = boxes_.begin(); closed > kClosedKept && it != boxes_.end();) {
        if (it->answer != 0) {
            it = boxes_.erase(it);
            --closed;
        } else {
            ++it;
        }
    }
}

}  // namespace pal::shell

std::vector<PalMessageBox> PalMessageBoxes() {
    return pal::shell::MessageBoxes::Get().All();
}

void PalHoldMessageBoxes(BOOL hold) {
    pal::shell::MessageBoxes::Get().Hold(hold != FALSE);
}
