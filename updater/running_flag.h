// The updater's single-instance flag.
#pragma once

#include "windows.h"

// One flag seen by every running instance of the updater: the first instance finds it clear,
// and it is clear again once the last instance has ended, however it ended.
//
// Windows keeps such a byte in a data section shared by all instances of the program. Linux has
// no such section, so the flag is a named mutex of the runtime root (the layer keeps it as a
// file there with a shared flock per holder). Opening it answers "was it set?" and sets it in
// one step: the layer makes that test under an exclusive lock, so of two instances that start at
// the same instant exactly one finds it clear. Every instance keeps its handle until it ends,
// and the kernel lets go of the lock when the process ends, so a crashed updater leaves no flag
// behind.
class RunningFlagByte {
public:
    // Sets the flag; true when it was already set by a running instance. The flag stays set for
    // the rest of the run. A flag that cannot be made (no runtime root) counts as set, so that
    // the instance ends rather than run beside another.
    bool TestAndSet();

private:
    HANDLE handle_ = nullptr;
};

extern RunningFlagByte RunningFlag;

// The name of the flag's mutex.
extern const char* const kRunningFlagName;
