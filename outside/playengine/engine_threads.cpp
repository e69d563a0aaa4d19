#include "engine_threads.h"

void PrepareEngineThread() {}
