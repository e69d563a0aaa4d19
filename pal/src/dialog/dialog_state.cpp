#include "dialog/dialog_state.h"

#include <map>

namespace pal::dialog {
namespace {

struct DialogTable {
    std::mutex lock;
    std::map<HWND, std::shared_ptr<DialogState>> dialogs;
};

DialogTable& Table() {
    static DialogTable* table = new DialogTable;  // outlives every static destructor
    return *table;
}

}  // namespace

bool IsUsable(HWND control) {
    DWORD style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
    return IsWindow(control) && (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

HWND DialogState::FirstTabStop() const {
    for (HWND control : controls) {
        if (IsUsable(control) && (GetWindowLongA(control, GWL_STYLE) & WS_TABSTOP)) {
            return control;
        }
    }
    return nullptr;
}

void DialogState::End(INT_PTR result) {
    std::lock_guard<std::mutex> guard(lock_);
    ended_ = true;
    result_ = result;
}

bool DialogState::Ended() {
    std::lock_guard<std::mutex> guard(lock_);
    return ended_;
}

INT_PTR DialogState::Result() {
    std::lock_guard<std::mutex> guard(lock_);
    return result_;
}

void AddDialog(HWND hwnd, const std::shared_ptr<DialogState>& state) {
    DialogTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    table.dialogs[hwnd] = state;
}

std::shared_ptr<DialogState> FindDialog(HWND hwnd) {
    DialogTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    auto it = table.dialogs.find(hwnd);
    return it == table.dialogs.end() ? nullptr : it->second;
}

void RemoveDialog(HWND hwnd) {
    DialogTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    table.dialogs.erase(hwnd);
}

}  // namespace pal::dialog
