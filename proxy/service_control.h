// Service control inside the library: what the exports and the watchdog share beyond the
// exports themselves (br_service_proxy.h).
#pragma once

// Ends the first process, in snapshot order, whose executable file name contains the old
// service name "brcoreserver.exe" (case-sensitive), and waits for it to be gone; other matching
// processes are left alone. False only when no snapshot could be taken.
bool KillOldCoreServer();

// True inside the service's own process (it has the module "BrCoreService.exe").
bool IsServiceProcess();
