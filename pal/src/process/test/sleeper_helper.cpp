// Test helper: sleeps until killed (two minutes at most) and dies with the process that
// started it, so a failed test leaves nothing running.
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

int main() {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    for (int i = 0; i < 1200; ++i) {
        usleep(100 * 1000);
    }
    return 0;
}
