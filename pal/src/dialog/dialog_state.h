// The process's dialogs: what the dialog manager keeps for each dialog window beside the window
// itself (its dialog procedure, font, units, controls and whether it has ended).
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "dialog/dialog_units.h"
#include "windows.h"

namespace pal::dialog {

class DialogState {
public:
    DialogState(DLGPROC procedure, bool modal, DWORD threadId)
        : procedure(procedure), modal(modal), threadId(threadId) {}

    const DLGPROC procedure;
    const bool modal;
    const DWORD threadId;

    // Read and written on the dialog's thread only.
    HFONT font = nullptr;       // WM_SETFONT's
    HFONT ownedFont = nullptr;  // the template's, deleted with the dialog
    BaseUnits units{};
    std::vector<HWND> controls;  // template order
    HWND lastFocus = nullptr;
    WORD defaultId = 0;  // DM_SETDEFID's; 0: the BS_DEFPUSHBUTTON control's

    // The first control of the template that is visible, enabled and a WS_TABSTOP.
    HWND FirstTabStop() const;

    // EndDialog may come from any thread.
    void End(INT_PTR result);
    bool Ended();
    INT_PTR Result();

private:
    std::mutex lock_;
    bool ended_ = false;
    INT_PTR result_ = 0;
};

// A visible, enabled window.
bool IsUsable(HWND control);

void AddDialog(HWND hwnd, const std::shared_ptr<DialogState>& state);
// Null for a window that is no dialog.
std::shared_ptr<DialogState> FindDialog(HWND hwnd);
void RemoveDialog(HWND hwnd);

}  // namespace pal::dialog
