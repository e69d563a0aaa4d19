// A program that only waits until it is killed. The client-watch tests copy it to the names of
// the client programs ("brmusic.exe", "BRDJ") and run it in the test's runtime root.
#include <unistd.h>

int main() {
    for (;;) {
        pause();
    }
}
