// The client watch, run on the main thread at every tick of the window's timer: while no client
// program runs in this runtime root, the player engine is told to stop. The service itself never
// ends for lack of clients.
#pragma once

// The client programs, looked for in this order; the first one found ends the look.
constexpr const char* CLIENT_PROGRAM_NAMES[] = {"brmusic.exe", "BRDJ.exe"};

// One look: when neither client runs and the player-core stub holds a core, its Stop (the
// result is not used).
void WatchClients();
