// A program that carries the crash handler only by linking its library, and then faults.
//
//   crash_handler_helper FAULT
//
// FAULT: write-null (a null-pointer write on the main thread), write-null-thread (the same on a
// second thread while the main thread waits for it), write-null-two-threads (two threads at
// once), int3 (a breakpoint trap), exit (no fault). Each thread about to fault prints
// "fault-thread ID" with its GetCurrentThreadId; the main thread first prints "main-thread ID".
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <thread>

#include "windows.h"

namespace {

void PrintThread(const char* name) {
    char line[64];
    int length = snprintf(line, sizeof line, "%s %lu\n", name,
                          static_cast<unsigned long>(GetCurrentThreadId()));
    if (write(STDOUT_FILENO, line, static_cast<size_t>(length)) != length) {
        _exit(3);
    }
}

void PrintFaultThread() {
    PrintThread("fault-thread");
}

// A null pointer to a record whose field lies 0x28 bytes in, so the fault address is 0x28.
struct Record {
    char header[0x28];
    int value;
};

__attribute__((noinline, no_sanitize("undefined"))) void WriteNull() {
    volatile Record* volatile record = nullptr;
    record->value = 1;
}

void PrintAndWriteNull() {
    PrintFaultThread();
    WriteNull();
}

void WriteNullOnThread() {
    std::thread faulting(PrintAndWriteNull);
    faulting.join();  // never returns: the fault ends the process while this thread waits
}

// Both threads announce themselves, then fault as close together as they can.
void WriteNullOnTwoThreads() {
    std::atomic<int> ready{0};
    auto run = [&ready] {
        PrintFaultThread();
        ready.fetch_add(1);
        while (ready.load() < 2) {
        }
        WriteNull();
    };
    std::thread first(run);
    std::thread second(run);
    first.join();
    second.join();
}

void Breakpoint() {
    PrintFaultThread();
    asm volatile("int3");
}

struct Fault {
    const char* name;
    void (*run)();
};

constexpr Fault kFaults[] = {
    {"write-null", PrintAndWriteNull},
    {"write-null-thread", WriteNullOnThread},
    {"write-null-two-threads", WriteNullOnTwoThreads},
    {"int3", Breakpoint},
    {"exit", [] {}},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s FAULT\n", argv[0]);
        return 2;
    }
    PrintThread("main-thread");
    for (const Fault& fault : kFaults) {
        if (strcmp(fault.name, argv[1]) == 0) {
            fault.run();
            return 0;
        }
    }
    fprintf(stderr, "unknown fault %s\n", argv[1]);
    return 2;
}
