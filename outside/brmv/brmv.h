// The P2P control library: starts and stops the swarmget download engine. The service calls
// StartP2P once at start-up (after swarmget's StartBRMV) and StopP2P first at shutdown.
#pragma once

#define BRMV_API extern "C" __attribute__((visibility("default")))

// Starts the engine: from now on StartDown accepts downloads. Again while started: nothing.
BRMV_API void StartP2P();
// Stops every download without further reports and joins every thread of the engine, so no
// observer call runs or follows once it returns. StartP2P may start the engine again.
BRMV_API void StopP2P();
