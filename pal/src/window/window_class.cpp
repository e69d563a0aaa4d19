// Window classes: RegisterClassA, RegisterClassExA, UnregisterClassA, and the system cursors
// that classes name.
#include "window/window_class.h"

#include <mutex>
#include <vector>

#include "window/window_text.h"

namespace pal {
namespace {

constexpr ATOM kFirstAtom = 0xC000;

struct ClassTable {
    std::mutex lock;
    std::vector<std::shared_ptr<WindowClass>> classes;
    ATOM nextAtom = kFirstAtom;
};

ClassTable& Classes() {
    static ClassTable* table = new ClassTable;  // outlives every static destructor
    return *table;
}

HINSTANCE Program(HINSTANCE instance) {
    return instance ? instance : reinterpret_cast<HINSTANCE>(GetModuleHandleA(nullptr));
}

bool Names(const WindowClass& entry, LPCSTR nameOrAtom) {
    if (IS_INTRESOURCE(nameOrAtom)) {
        return entry.atom == static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(nameOrAtom));
    }
    return SameWindowText(entry.name, nameOrAtom);
}

ATOM Register(UINT style, WNDPROC procedure, HINSTANCE instance, HBRUSH background, LPCSTR name) {
    if (!procedure || !name || IS_INTRESOURCE(name) || !*name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    instance = Program(instance);
    ClassTable& table = Classes();
    std::lock_guard<std::mutex> guard(table.lock);
    for (const auto& entry : table.classes) {
        if (entry->instance == instance && SameWindowText(entry->name, name)) {
            SetLastError(ERROR_CLASS_ALREADY_EXISTS);
            return 0;
        }
    }
    if (table.nextAtom == 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);  // every atom has been handed out
        return 0;
    }
    auto entry = std::make_shared<WindowClass>();
    entry->name = name;
    entry->atom = table.nextAtom++;
    entry->instance = instance;
    entry->style = style;
    entry->procedure = procedure;
    entry->background = background;
    table.classes.push_back(entry);
    return entry->atom;
}

}  // namespace

std::shared_ptr<WindowClass> FindWindowClass(LPCSTR nameOrAtom, HINSTANCE instance) {
    if (!nameOrAtom) {
        return nullptr;
    }
    instance = Program(instance);
    ClassTable& table = Classes();
    std::lock_guard<std::mutex> guard(table.lock);
    std::shared_ptr<WindowClass> global;
    for (const auto& entry : table.classes) {
        if (!Names(*entry, nameOrAtom)) {
            continue;
        }
        if (entry->instance == instance) {
            return entry;
        }
        if ((entry->style & CS_GLOBALCLASS) && !global) {
            global = entry;
        }
    }
    return global;
}

std::optional<std::string> WindowClassName(LPCSTR nameOrAtom) {
    if (!IS_INTRESOURCE(nameOrAtom)) {
        return std::string(nameOrAtom);
    }
    ClassTable& table = Classes();
    std::lock_guard<std::mutex> guard(table.lock);
    for (const auto& entry : table.classes) {
        if (Names(*entry, nameOrAtom)) {
            return entry->name;
        }
    }
    return std::nullopt;
}

}  // namespace pal

// Differs from Windows: a NULL hInstance stands for the program's module; the class and window
// extra bytes, icons, cursor and menu name are accepted and not kept (nothing reads them yet).
ATOM RegisterClassA(const WNDCLASSA* lpWndClass) {
    if (!lpWndClass) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return pal::Register(lpWndClass->style, lpWndClass->lpfnWndProc, lpWndClass->hInstance,
                         lpWndClass->hbrBackground, lpWndClass->lpszClassName);
}

// Differs from Windows: extra bytes, icons, cursor and menu name are accepted and not kept.
ATOM RegisterClassExA(const WNDCLASSEXA* lpWndClass) {
    if (!lpWndClass || lpWndClass->cbSize != sizeof(WNDCLASSEXA)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return pal::Register(lpWndClass->style, lpWndClass->lpfnWndProc, lpWndClass->hInstance,
                         lpWndClass->hbrBackground, lpWndClass->lpszClassName);
}

BOOL UnregisterClassA(LPCSTR lpClassName, HINSTANCE hInstance) {
    if (!lpClassName) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    HINSTANCE instance = pal::Program(hInstance);
    pal::ClassTable& table = pal::Classes();
    std::lock_guard<std::mutex> guard(table.lock);
    for (auto it = table.classes.begin(); it != table.classes.end(); ++it) {
        if ((*it)->instance == instance && pal::Names(**it, lpClassName)) {
            if ((*it)->windows.load() > 0) {
                SetLastError(ERROR_CLASS_HAS_WINDOWS);
                return FALSE;
            }
            table.classes.erase(it);
            return TRUE;
        }
    }
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
}

// Differs from Windows: only the system cursors exist, as opaque handles (a module has no
// cursor resources in the layer).
HCURSOR LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName) {
    static const int kSystemCursors[] = {32512, 32513, 32514, 32515, 32516, 32642, 32643,
                                         32644, 32645, 32646, 32648, 32649, 32650, 32651};
    if (!hInstance && IS_INTRESOURCE(lpCursorName)) {
        auto id = static_cast<int>(reinterpret_cast<ULONG_PTR>(lpCursorName));
        for (int known : kSystemCursors) {
            if (known == id) {
                // A value no pointer of the layer takes: the id in the second page.
                return reinterpret_cast<HCURSOR>(static_cast<uintptr_t>(0x10000 + id));
            }
        }
    }
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
}
