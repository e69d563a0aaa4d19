// Test helper: a program with one visible window, driven from the control tests through the
// control socket. Its window (class "PalControlHelper", title "control helper", at 100,100,
// 300 x 200, painted red) records the mouse and key messages it gets; after each one, and once
// when it is up, $PAL_TEST_RECORD holds "hwnd=", "socket=" and "messages=" (the messages so far,
// each "NAME(x,y)" for a button or "NAME(wParam)" for a key, separated by spaces). It also
// registers a menu reader that reports a fixed menu, as the popup menus' area would.
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
    {WM_NCHITTEST, "NCHITTEST"},     {WM_SETCURSOR, "SETCURSOR"},   {WM_MOUSEMOVE, "MOUSEMOVE"},
    {WM_LBUTTONDOWN, "LBUTTONDOWN"}, {WM_LBUTTONUP, "LBUTTONUP"},   {WM_RBUTTONDOWN, "RBUTTONDOWN"},
    {WM_RBUTTONUP, "RBUTTONUP"},     {WM_KEYDOWN, "KEYDOWN"},       {WM_KEYUP, "KEYUP"},
    {WM_CHAR, "CHAR"},
};

void Record() {
    char handle[32];
    std::snprintf(handle, sizeof handle, "0x%llx",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(g_window)));
    WriteHelperRecord(std::string("hwnd=") + handle + "\nsocket=" + PalControlSocketPath() +
                      "\nmessages=" + g_messages + "\n");
}

void Note(const char* name, UINT message, WPARAM wParam, LPARAM lParam) {
    std::string detail;
    if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) {
        detail = std::to_string(GET_X_LPARAM(lParam)) + "," + std::to_string(GET_Y_LPARAM(lParam));
    } else if (message >= WM_KEYFIRST && message <= WM_KEYLAST) {
        detail = std::to_string(wParam);
    }
    g_messages += std::string(g_messages.empty() ? "" : " ") + name +
                  (detail.empty() ? "" : "(" + detail + ")");
    Record();
}

LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = DefWindowProcA(hwnd, message, wParam, lParam);
    for (const Name& recorded : kRecorded) {
        if (recorded.message == message) {
            Note(recorded.name, message, wParam, lParam);
        }
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
    }
    return result;
}

std::vector<PalControlMenu> FixedMenu() {
    PalControlMenu menu;
    menu.window = g_window;
    menu.rect = RECT{120, 130, 220, 170};
    menu.items.push_back({7, PalGbk("打开 \"list\""), RECT{120, 130, 220, 150}, 0, true});
    menu.items.push_back({0, "", RECT{120, 150, 220, 154}, 0x800, false});
    return {menu};
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
    PalSetControlMenuReader(&FixedMenu);
    g_window = CreateWindowExA(0, "PalControlHelper", "control helper", WS_POPUP | WS_VISIBLE,
                               100, 100, 300, 200, nullptr, nullptr, GetModuleHandleA(nullptr),
                               nullptr);
    if (!g_window) {
        return 2;
    }
    UpdateWindow(g_window);
    Record();
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
