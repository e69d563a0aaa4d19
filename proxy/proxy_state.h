// The exports' own process-wide state beside the objects of proxy_objects.h. Both are read and
// written only with g_ProxyLock held.
#pragma once

#include <vector>

class IServiceNotify;

// Set by the first InitProxy that takes its endpoint, never cleared: a process initialises the
// library once.
extern bool g_ProxyInitialised;
// The registered sinks in registration order, without duplicates; not owned.
extern std::vector<IServiceNotify*> g_NotifySinks;
