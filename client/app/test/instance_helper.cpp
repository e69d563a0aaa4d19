// A client start as far as the single-instance test: prints "another" or "first" (with "mutex"
// when it holds the mutex) and, given "hold", keeps running until its input closes.
#include <cstdio>
#include <cstring>

#include "instance.h"

int main(int argc, char** argv) {
    bool another = IsAnotherInstanceRunning();
    std::printf("%s%s\n", another ? "another" : "first", g_hInstanceMutex ? " mutex" : "");
    std::fflush(stdout);
    if (argc > 1 && std::strcmp(argv[1], "hold") == 0) {
        int c;
        while ((c = std::getchar()) != EOF) {
        }
    }
    return 0;
}
