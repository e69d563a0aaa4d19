// The classes the layer itself gives: the dialog class and the controls of dialog templates.
#pragma once

#include "windows.h"

namespace pal::dialog {

// The class of a dialog whose template names none.
constexpr const char* kDialogClass = "#32770";

// Registers "#32770", "STATIC" and "BUTTON" as global classes of the layer's module, once per
// process (when the layer loads; making a dialog makes sure of it again).
void RegisterBuiltInClasses();

LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace pal::dialog
