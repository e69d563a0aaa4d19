// The main window's texts, as GBK bytes.
#pragma once

#include <windows.h>

// The warning box of a Flash control older than version 10: its text and caption.
inline const char* MainWindowTextOldFlash() {
    return PalGbk("本机上的Flash版本过低，请更新至Flash10以上版本。");
}
inline const char* MainWindowTextCaption() {
    return PalGbk("BrindoDJ提示");
}
