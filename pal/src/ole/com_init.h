// The calling thread's component library initialisation (CoInitialize and its balance).
#pragma once

namespace pal {

bool ComInitializedOnThisThread();

}  // namespace pal
