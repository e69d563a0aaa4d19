// The client's log lines, as GBK bytes, each a format for g_Log.Log.
#pragma once

#include <windows.h>

// Start-up of the main window, after the skin is loaded and the styles are set.
inline const char* LogTextInitWindow() {
    return PalGbk("主流程：初始化窗口");
}
// Start-up of the main window, before the Flash control is placed and loaded.
inline const char* LogTextInitFlash() {
    return PalGbk("主流程：初始化Flash");
}
// A progress event of the Flash control; its integer argument.
inline const char* LogTextFlashProgress() {
    return PalGbk("Flash：OnProgress-%d");
}
// The movie's "PrintDebug" call with a non-empty text; that text.
inline const char* LogTextFlashDebug() {
    return PalGbk("FlashDebug：%s");
}
// The player refused to open an item; the item's first text.
inline const char* LogTextOpenSongFailed() {
    return PalGbk("播放：打开歌曲失败－%s");
}
// Every play command, before it is sent.
inline const char* LogTextPlaySong() {
    return PalGbk("播放：播放歌曲");
}
