// Test helper: a program with one visible window, driven from the control tests through the
// control socket. Its window (class "PalControlHelper", title "control helper", at 100,100,
// 300 x 200, painted red) records the mouse and key messages it gets; after each one, and once
// when it is up, $PAL_TEST_RECORD holds "hwnd=", "socket=" and "messages=" (the messages so far,
// each "NAME(x,y)" for a button or "NAME(wParam)" for a key, separated by spaces).
//
// It shows what the socket reads: an icon in the notification area (uID 5, the PNG image that
// $PAL_TEST_ICON names, as the program's icon group 1) whose callback messages it records as
// "TRAY(mouse message)"; the key P opens its menu 1 (from its resources) at 150,150 on the
// screen, whose choice it records as "COMMAND(id)"; the item "box" shows a message box and
// records its answer as "BOX(answer)".
#include <cstdio>
#include <cstdlib>
#include <string>

#include "test/helper_record.h"
#include "windows.h"

namespace {

std::string g_messages;
HWND g_window = nullptr;

struct Name {
    UINT message;
    const char* name;
};
constexpr Name kRecorded[] = {
    {WM_NCHITTEST, "NCHITTEST"}, {WM_SETCURSOR, "SETCURSOR"},
    {WM_MOUSEMOVE, "MOUSEMOVE"}, {WM_LBUTTONDOWN, "LBUTTONDOWN"},
    {WM_LBUTTONUP, "LBUTTONUP"}, {WM_RBUTTONDOWN, "RBUTTONDOWN"},
    {WM_RBUTTONUP, "RBUTTONUP"}, {WM_KEYDOWN, "KEYDOWN"},
    {WM_KEYUP, "KEYUP"},         {WM_CHAR, "CHAR"},
};

void Record() {
    char handle[32];
    std::snprintf(handle, sizeof handle, "0x%llx",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(g_window)));
    WriteHelperRecord(std::string("hwnd=") + handle + "\nsocket=" + PalControlSocketPath() +
                      "\nmessages=" + g_messages + "\n");
}

void Append(const std::string& entry) {
    g_messages += (g_messages.empty() ? "" : " ") + entry;
}

void Note(const std::string& name, UINT message, WPARAM wParam, LPARAM lParam) {
    std::string detail;
    if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) {
        detail = std::to_string(GET_X_LPARAM(lParam)) + "," + std::to_string(GET_Y_LPARAM(lParam));
    } else if (message >= WM_KEYFIRST && message <= WM_KEYLAST) {
        detail = std::to_string(wParam);
    }
    Append(name + (detail.empty() ? "" : "(" + detail + ")"));
    Record();
}

constexpr UINT kTrayMessage = 0x8001;  // WM_APP + 1
constexpr UINT kTrayId = 5;
constexpr WORD kOpenCommand = 7;
constexpr WORD kBoxCommand = 8;

const std::vector<BYTE> kMenu = PalBuildMenuTemplate({
    {MF_POPUP,
     0,
     "helper",
     {{MF_STRING, kOpenCommand, PalGbk("打开 \"list\""), {}},
      {MF_SEPARATOR, 0, "", {}},
      {MF_STRING, kBoxCommand, "box", {}}}},
});
const PalResource kResources[] = {
    {RT_MENU, MAKEINTRESOURCEA(1), kMenu.data(), static_cast<DWORD>(kMenu.size())},
};
PAL_MODULE_RESOURCES(kResources);
PalResource g_iconResource[1];  // the icon group, named at run time

void OpenMenu(HWND hwnd) {
    HMENU menu = LoadMenuA(nullptr, MAKEINTRESOURCEA(1));
    TrackPopupMenu(GetSubMenu(menu, 0), 0, 150, 150, 0, hwnd, nullptr);
    DestroyMenu(menu);
}

void OnCommand(HWND hwnd, WORD id) {
    Append("COMMAND(" + std::to_string(id) + ")");
    if (id == kBoxCommand) {
        int answer = MessageBoxA(hwnd, PalGbk("继续吗?"), "helper", MB_OKCANCEL | MB_DEFBUTTON2);
        Append("BOX(" + std::to_string(answer) + ")");
    }
    Record();
}

void AddTrayIcon(HWND hwnd) {
    static const std::string iconPath =
        std::getenv("PAL_TEST_ICON") ? std::getenv("PAL_TEST_ICON") : "";
    g_iconResource[0] = {RT_GROUP_ICON, MAKEINTRESOURCEA(1), iconPath.c_str(),
                         static_cast<DWORD>(iconPath.size())};
    PalRegisterResources(g_iconResource, 1);
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_X86_SIZE;
    data.hWnd = hwnd;
    data.uID = kTrayId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kTrayMessage;
    data.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(1));
    std::snprintf(data.szTip, sizeof data.szTip, "helper tip");
    Shell_NotifyIconA(NIM_ADD, &data);
}

LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = DefWindowProcA(hwnd, message, wParam, lParam);
    for (const Name& recorded : kRecorded) {
        if (recorded.message == message) {
            Note(recorded.name, message, wParam, lParam);
        }
    }
    if (message == WM_KEYDOWN && wParam == 'P') {
        OpenMenu(hwnd);
    } else if (message == WM_COMMAND) {
        OnCommand(hwnd, LOWORD(wParam));
    } else if (message == kTrayMessage && wParam == kTrayId) {
        Append("TRAY(" + std::to_string(lParam) + ")");
        Record();
    } else if (message == WM_DESTROY) {
        PostQuitMessage(0);
    }
    return result;
}

}  // namespace

int main() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &Procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = CreateSolidBrush(RGB(255, 0, 0));
    windowClass.lpszClassName = "PalControlHelper";
    if (!RegisterClassA(&windowClass)) {
        return 1;
    }
    g_window = CreateWindowExA(0, "PalControlHelper", "control helper", WS_POPUP | WS_VISIBLE, 100,
                               100, 300, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!g_window) {
        return 2;
    }
    UpdateWindow(g_window);
    AddTrayIcon(g_window);
    Record();
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
