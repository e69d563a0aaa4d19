// Test helper: a process that calls the library as the service itself would. The test runs a
// copy of it named "BrCoreService", so it has the module "BrCoreService.exe". Prints the
// results of IsRunCoreServer and StartCoreServer, e.g. "1 1".
#include <cstdio>

#include "br_service_proxy.h"

int main() {
    const bool running = IsRunCoreServer();
    const bool started = StartCoreServer();
    std::printf("%d %d\n", running ? 1 : 0, started ? 1 : 0);
    return 0;
}
