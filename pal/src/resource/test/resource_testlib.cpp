// A library with resources of its own, registered when it loads ("PalResource.dll").
#include "windows.h"

namespace {

const char kText[] = "from the library";

const PalResource kResources[] = {
    {RT_STRING, MAKEINTRESOURCEA(1), kText, sizeof(kText) - 1},
};
PAL_MODULE_RESOURCES(kResources);

}  // namespace
