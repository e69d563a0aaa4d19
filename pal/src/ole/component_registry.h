// The installation's component registry, in place of the system registry: an INI file whose
// [CLSID] section maps a class id in its registry form to the library that serves it.
#pragma once

#include <string>

#include "windows.h"

namespace pal {

// The registry file: $PAL_COMPONENT_REGISTRY when set, else components.ini in the program's
// folder.
std::string ComponentRegistryPath();

// The library registered for the class id, as a path (a relative name is taken from the
// registry file's folder), or "" when the class is not registered.
std::string RegisteredLibrary(REFCLSID clsid);

}  // namespace pal
