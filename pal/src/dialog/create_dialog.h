// Making a dialog from a template read into its parts: the window, its font, its controls and
// WM_INITDIALOG (pal/dialog.h, CreateDialogIndirectParamA, says in what order).
#pragma once

#include "dialog/dialog_template.h"

namespace pal::dialog {

// The dialog, shown when the template says WS_VISIBLE or `modal`; NULL with the error of what
// failed.
HWND CreateFromTemplate(HINSTANCE instance, const DialogTemplate& dialog, HWND parent,
                        DLGPROC procedure, LPARAM param, bool modal);

// Makes the dialog, disables the owner, runs the modal loop, enables the owner and destroys the
// dialog (pal/dialog.h, DialogBoxIndirectParamA); -1 when the dialog cannot be made.
INT_PTR RunModal(HINSTANCE instance, const DialogTemplate& dialog, HWND parent, DLGPROC procedure,
                 LPARAM param);

// The template behind a bare pointer; nothing, with ERROR_INVALID_PARAMETER, when it is none.
std::optional<DialogTemplate> ReadIndirect(LPCDLGTEMPLATEA bytes);

}  // namespace pal::dialog
