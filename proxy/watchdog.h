// The watchdog: one thread that polls the service (its timings are the constants at the top of
// watchdog.cpp), and when the service is gone resets both proxies, starts the service again and
// tells the sinks. Both functions are called with g_ProxyLock held.
#pragma once

// Creates the stop event when there is none and starts the thread when there is none (a
// thread is only started with its stop event, so it can always be stopped).
void StartWatchThread();

// Ends the watchdog: signals the stop, waits for the thread to end and forgets both. Nothing
// happens without a thread or an event. From a sink on the watchdog's own thread it only
// signals: the thread ends when the sink returns, before any further step.
void StopWatchThread();
