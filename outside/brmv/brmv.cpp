#include "brmv.h"

#include "swarmget_control.h"

void StartP2P() {
    SwarmgetStartEngine();
}

void StopP2P() {
    SwarmgetStopEngine();
}
