// FindWindowA over the runtime root's window registry: the top-level windows of every live
// process of the root, this one included.
#include "window/window_class.h"
#include "window/window_handle.h"
#include "window/window_registry.h"
#include "window/window_text.h"

// Differs from Windows: of several matches it gives the most recently created one (there is no
// z-order); a class atom only names classes of this process.
HWND FindWindowA(LPCSTR lpClassName, LPCSTR lpWindowName) {
    std::optional<std::string> className;
    if (lpClassName) {
        className = pal::WindowClassName(lpClassName);
        if (!className) {
            return nullptr;  // an atom of no class
        }
    }
    std::string root = PalRuntimeDir();
    if (root.empty()) {
        return nullptr;
    }
    const pal::WindowEntry* found = nullptr;
    auto entries = pal::LiveWindowEntries(root);
    for (const auto& entry : entries) {
        if (className && !pal::SameWindowText(entry.className, *className)) {
            continue;
        }
        if (lpWindowName && !pal::SameWindowText(entry.title, lpWindowName)) {
            continue;
        }
        if (!found || entry.created > found->created) {
            found = &entry;
        }
    }
    return found ? pal::WindowFromValue(found->hwnd) : nullptr;
}
