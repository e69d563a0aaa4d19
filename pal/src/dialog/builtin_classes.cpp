#include "dialog/builtin_classes.h"

#include <mutex>

#include "process/module_table.h"

namespace pal::dialog {
namespace {

LRESULT CALLBACK DialogClassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefDlgProcA(hwnd, msg, wParam, lParam);
}

void Register(const char* name, WNDPROC procedure, HINSTANCE layer) {
    WNDCLASSA windowClass{};
    windowClass.style = CS_GLOBALCLASS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = layer;
    windowClass.lpszClassName = name;
    RegisterClassA(&windowClass);
}

}  // namespace

void RegisterBuiltInClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        HINSTANCE layer = ModuleAt(reinterpret_cast<const void*>(&DefDlgProcA));
        Register(kDialogClass, &DialogClassProc, layer);
        Register("STATIC", &StaticProc, layer);
        Register("BUTTON", &ButtonProc, layer);
    });
}

// The built-in classes exist as soon as the layer is loaded, as the system's classes do.
[[maybe_unused]] const bool kBuiltInClassesRegistered = (RegisterBuiltInClasses(), true);

}  // namespace pal::dialog
