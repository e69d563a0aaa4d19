// Threads the window area runs for itself (the cross-process post listener, the close-signal
// watcher): detached, with SIGINT and SIGTERM blocked, so that those signals go to the program's
// own threads and never wait for a layer thread that is blocked reading.
#pragma once

namespace pal {

// False when the thread cannot be started.
bool StartLayerThread(void* (*routine)(void*));

}  // namespace pal
