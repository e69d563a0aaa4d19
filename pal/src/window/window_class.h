// The window classes of this process.
#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include "windows.h"

namespace pal {

struct WindowClass {
    std::string name;
    ATOM atom = 0;
    HINSTANCE instance = nullptr;
    UINT style = 0;
    WNDPROC procedure = nullptr;
    HBRUSH background = nullptr;
    std::atomic<int> windows{0};  // windows of the class that exist
};

// The class a CreateWindowExA names (a text or a MAKEINTATOM atom) for the instance: one
// registered for that instance, else a CS_GLOBALCLASS one. NULL instance is the program.
std::shared_ptr<WindowClass> FindWindowClass(LPCSTR nameOrAtom, HINSTANCE instance);
// The name a class argument stands for: the text itself, or the name of this process's class
// with that atom; nothing for an unknown atom.
std::optional<std::string> WindowClassName(LPCSTR nameOrAtom);

}  // namespace pal
