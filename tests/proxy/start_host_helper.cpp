// Test helper: a host that initialises the proxy (which starts the service), waits until the
// service answers, says so and ends, leaving the service running. Exit code 0 when the service
// answered, 1 otherwise.
#include <chrono>
#include <cstdio>
#include <thread>

#include "br_service_proxy.h"

int main() {
    if (!InitProxy()) {
        return 1;
    }
    bool running = false;
    for (int i = 0; i < 100 && !(running = IsRunCoreServer()); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    std::printf("%s\n", running ? "service running" : "no service");
    UnInitProxy();  // the service stays
    return running ? 0 : 1;
}
