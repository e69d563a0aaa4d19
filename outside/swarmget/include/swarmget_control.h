// Starting and stopping the engine: for BrMV's StartP2P and StopP2P only.
#pragma once

#include "swarmget.h"

// Starts the engine's notifier; StartDown refuses downloads until then. Starting a started
// engine does nothing.
SWARMGET_API void SwarmgetStartEngine();
// Stops every download without reports and joins every thread of the engine: when it returns,
// no observer call runs or follows. The engine can be started again.
SWARMGET_API void SwarmgetStopEngine();
