// Test helper: a program with a window loop, for the cross-process window tests. Its command line
// (PAL_WINMAIN) is one of
//
//     window CLASS TITLE [ignore-close] [replace]   a hidden top-level window of that class and
//                                                   title; "replace" first posts WM_DESTROY to
//                                                   an older window of both; "ignore-close"
//                                                   keeps WM_CLOSE from destroying the window
//     loop                                          no window, a GetMessageA loop
//     idle                                          no message queue at all
//
// It prints "ready HWND" (or "ready") once set up, then "message MSG WPARAM LPARAM" (hex, dec,
// dec) for every message its window procedure gets, and "quit CODE" when GetMessageA returns 0;
// it returns CODE. WM_DESTROY posts the quit with 0.
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "windows.h"

namespace {

bool g_ignoreClose = false;

void Print(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

LRESULT CALLBACK HelperProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    char line[96];
    std::snprintf(line, sizeof line, "message 0x%x %llu %lld", message,
                  static_cast<unsigned long long>(wParam), static_cast<long long>(lParam));
    Print(line);
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    if (message == WM_CLOSE && g_ignoreClose) {
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

int RunLoop() {
    MSG msg;
    BOOL got;
    while ((got = GetMessageA(&msg, nullptr, 0, 0)) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (got < 0) {
        Print("failed GetMessageA " + std::to_string(GetLastError()));
        return 3;
    }
    Print("quit " + std::to_string(msg.wParam));
    return static_cast<int>(msg.wParam);
}

int RunWindow(HINSTANCE instance, const std::vector<std::string>& words) {
    const std::string& className = words[1];
    const std::string& title = words[2];
    for (size_t i = 3; i < words.size(); ++i) {
        g_ignoreClose = g_ignoreClose || words[i] == "ignore-close";
        if (words[i] == "replace") {
            if (HWND older = FindWindowA(className.c_str(), title.c_str())) {
                PostMessageA(older, WM_DESTROY, 0, 0);
            }
        }
    }
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &HelperProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = className.c_str();
    RegisterClassExA(&windowClass);
    HWND hwnd =
        CreateWindowExA(0, className.c_str(), title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                        CW_USEDEFAULT, 0, nullptr, nullptr, instance, nullptr);
    if (!hwnd) {
        Print("failed CreateWindowExA " + std::to_string(GetLastError()));
        return 2;
    }
    char ready[64];
    std::snprintf(ready, sizeof ready, "ready %llx",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(hwnd)));
    Print(ready);
    return RunLoop();
}

}  // namespace

int WINAPI HelperWinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    std::vector<std::string> words;
    std::istringstream split(commandLine);
    for (std::string word; split >> word;) {
        words.push_back(word);
    }
    if (words.size() >= 3 && words[0] == "window") {
        return RunWindow(instance, words);
    }
    if (words.size() == 1 && words[0] == "loop") {
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the main thread's queue exists now
        Print("ready");
        return RunLoop();
    }
    if (words.size() == 1 && words[0] == "idle") {
        Print("ready");
        Sleep(INFINITE);
    }
    Print("usage: window CLASS TITLE [ignore-close] [replace] | loop | idle");
    return 2;
}

PAL_WINMAIN(HelperWinMain)
