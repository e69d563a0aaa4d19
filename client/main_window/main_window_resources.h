// The main window's resources, in the program's resource table: the program icon (icon group
// 128, the picture brdj_icon.png beside the program), the tray menu (menu 130), the About box
// (dialog 100) and the system menu's About item (string 101). Template 102 is client/app's
// (main_dialog_template.h).
#pragma once

#include "windows.h"

// The module the resources are looked up in: the application's.
HINSTANCE AppInstance();
// Icon 128; null when its picture is missing.
HICON LoadMainIcon();
