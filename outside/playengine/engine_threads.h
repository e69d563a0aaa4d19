// What every thread that runs the engine's code does first: the engine's own thread, and each
// of GStreamer's streaming threads as it enters its work.
#pragma once

void PrepareEngineThread();
