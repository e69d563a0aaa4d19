// The main window's dialog template 102, described in code: a borderless popup holding the Flash
// control (control 1000, by its class id) with the control's persisted state.
#pragma once

#include <vector>

#include "windows.h"

inline constexpr UINT IDD_BRDJ_DIALOG = 102;
inline constexpr UINT IDC_SHOCKWAVEFLASH = 1000;

// The control's persisted state: the header (version, signature, extent) and its 24
// properties, 284 bytes.
std::vector<BYTE> FlashControlState();
// The DIALOGEX bytes of template 102.
std::vector<BYTE> MainDialogTemplate();
