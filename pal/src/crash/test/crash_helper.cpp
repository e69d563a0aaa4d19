// A program that installs an exception filter and then faults, for the crash tests.
//
//   pal_crash_helper FAULT RESULT [DBGHELP_LIBRARY DUMP_FILE]
//
// FAULT is one of the names in kFaults; RESULT is what the filter returns: execute, search or
// continue (which also steps over an int3). The program prints, one line each: "fault-thread
// TID" from the thread about to fault, "site HEX" where the fault's address is known in advance,
// "filter ..." with what the filter saw, "dump OK|FAILED" when it wrote a dump, "resumed" when
// execution went on after the fault, and "atexit" from an exit handler. With a library and a
// dump file, the filter writes a dump with the library's MiniDumpWriteDump before it returns.
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "file/file_descriptor.h"
#include "windows.h"

extern "C" char pal_crash_helper_int3[];

namespace {

LONG g_result = EXCEPTION_EXECUTE_HANDLER;
MINIDUMP_WRITE_DUMP g_writeDump = nullptr;
const char* g_dumpPath = nullptr;

// Output with write() only: the filter runs inside a signal handler.
void Print(const char* text) {
    size_t length = strlen(text);
    while (length > 0) {
        ssize_t n = write(STDOUT_FILENO, text, length);
        if (n <= 0) {
            return;
        }
        text += n;
        length -= static_cast<size_t>(n);
    }
}

void PrintLine(const char* name, unsigned long long value, bool hex) {
    char line[64];
    snprintf(line, sizeof line, hex ? "%s %llx\n" : "%s %llu\n", name, value);
    Print(line);
}

unsigned long long ThreadId() {
    return static_cast<unsigned long long>(gettid());
}

// A file handle of the layer for a descriptor the helper opened itself.
class DumpFile : public pal::DescriptorObject {
public:
    explicit DumpFile(int fd) : fd_(fd) {}
    ~DumpFile() override { close(fd_); }
    int Descriptor() const override { return fd_; }

private:
    int fd_;
};

void WriteDump(EXCEPTION_POINTERS* pointers) {
    int fd = open(g_dumpPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        Print("dump FAILED\n");
        return;
    }
    HANDLE file = pal::AddHandle(std::make_shared<DumpFile>(fd));
    MINIDUMP_EXCEPTION_INFORMATION info = {static_cast<DWORD>(gettid()), pointers, TRUE};
    BOOL ok = g_writeDump(INVALID_HANDLE_VALUE, static_cast<DWORD>(getpid()), file, MiniDumpNormal,
                          &info, nullptr, nullptr);
    CloseHandle(file);
    Print(ok ? "dump OK\n" : "dump FAILED\n");
}

LONG WINAPI Filter(EXCEPTION_POINTERS* pointers) {
    const EXCEPTION_RECORD* r = pointers->ExceptionRecord;
    char line[256];
    snprintf(line, sizeof line,
             "filter code=%x address=%llx params=%u p0=%llx p1=%llx p2=%llx rip=%llx tid=%llu\n",
             r->ExceptionCode,
             static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(r->ExceptionAddress)),
             r->NumberParameters, static_cast<unsigned long long>(r->ExceptionInformation[0]),
             static_cast<unsigned long long>(r->ExceptionInformation[1]),
             static_cast<unsigned long long>(r->ExceptionInformation[2]),
             static_cast<unsigned long long>(pointers->ContextRecord->Rip), ThreadId());
    Print(line);
    if (g_writeDump != nullptr) {
        WriteDump(pointers);
    }
    if (g_result == EXCEPTION_CONTINUE_EXECUTION && r->ExceptionCode == EXCEPTION_BREAKPOINT) {
        pointers->ContextRecord->Rip += 1;  // step over the int3
    }
    return g_result;
}

// A null pointer to a record whose field lies 0x28 bytes in, so the fault address is 0x28.
struct Record {
    char header[0x28];
    int value;
};

__attribute__((noinline, no_sanitize("undefined"))) void WriteNull() {
    volatile Record* volatile record = nullptr;
    PrintLine("fault-thread", ThreadId(), false);
    record->value = 1;
}

__attribute__((noinline, no_sanitize("undefined"))) void ReadNull() {
    volatile Record* volatile record = nullptr;
    PrintLine("fault-thread", ThreadId(), false);
    volatile int value = record->value;
    (void)value;
}

void WriteNullOnThread() {
    std::thread faulting(WriteNull);
    faulting.join();  // never returns: the fault ends the process while this thread waits
}

__attribute__((noinline)) void Breakpoint() {
    PrintLine("site", reinterpret_cast<uintptr_t>(pal_crash_helper_int3), true);
    asm volatile(
        ".globl pal_crash_helper_int3\n"
        "pal_crash_helper_int3: int3\n");
}

void RaiseTrap() {
    raise(SIGTRAP);
}

void Divide() {
    asm volatile(
        "xorl %%ecx, %%ecx\n"
        "movl $1, %%eax\n"
        "cltd\n"
        "idivl %%ecx\n" ::
            : "eax", "ecx", "edx");
}

void IllegalInstruction() {
    asm volatile("ud2");
}

void* MapPage(int protection) {
    return mmap(nullptr, 4096, protection, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
}

void WriteReadOnly() {
    auto* page = static_cast<volatile char*>(MapPage(PROT_READ));
    PrintLine("site", reinterpret_cast<uintptr_t>(page), true);
    page[0] = 1;
}

void ExecuteData() {
    void* page = MapPage(PROT_READ | PROT_WRITE);
    PrintLine("site", reinterpret_cast<uintptr_t>(page), true);
    reinterpret_cast<void (*)()>(page)();
}

// A read beyond the end of a mapped file.
void ReadBeyondFile() {
    char path[] = "/tmp/pal_crash_helper_XXXXXX";
    int fd = mkstemp(path);
    unlink(path);
    auto* page = static_cast<volatile char*>(mmap(nullptr, 4096, PROT_READ, MAP_SHARED, fd, 0));
    PrintLine("site", reinterpret_cast<uintptr_t>(page), true);
    volatile char value = page[0];
    (void)value;
}

volatile int g_depth = 1;

__attribute__((noinline)) int Recurse(int depth) {
    volatile char frame[1024];
    frame[0] = static_cast<char>(depth);
    if (g_depth > 0) {
        return Recurse(depth + 1) + frame[0];
    }
    return frame[0];
}

void OverflowStack() {
    Recurse(0);
}

void RemovedFilter() {
    SetUnhandledExceptionFilter(nullptr);
    WriteNull();
}

struct Fault {
    const char* name;
    void (*run)();
};

constexpr Fault kFaults[] = {
    {"write-null", WriteNull},
    {"read-null", ReadNull},
    {"write-null-thread", WriteNullOnThread},
    {"int3", Breakpoint},
    {"raise-trap", RaiseTrap},
    {"divide", Divide},
    {"ud2", IllegalInstruction},
    {"write-readonly", WriteReadOnly},
    {"execute-data", ExecuteData},
    {"read-beyond-file", ReadBeyondFile},
    {"overflow", OverflowStack},
    {"removed-filter", RemovedFilter},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 5) {
        fprintf(stderr, "usage: %s FAULT execute|search|continue [LIBRARY DUMP]\n", argv[0]);
        return 2;
    }
    std::string result = argv[2];
    g_result = result == "search"     ? EXCEPTION_CONTINUE_SEARCH
               : result == "continue" ? EXCEPTION_CONTINUE_EXECUTION
                                      : EXCEPTION_EXECUTE_HANDLER;
    if (argc == 5) {
        void* library = dlopen(argv[3], RTLD_NOW);
        if (library == nullptr) {
            fprintf(stderr, "%s\n", dlerror());
            return 2;
        }
        g_writeDump = reinterpret_cast<MINIDUMP_WRITE_DUMP>(dlsym(library, "MiniDumpWriteDump"));
        g_dumpPath = argv[4];
    }
    setvbuf(stdout, nullptr, _IONBF, 0);
    atexit([] { Print("atexit\n"); });
    for (const Fault& fault : kFaults) {
        if (strcmp(fault.name, argv[1]) == 0) {
            SetUnhandledExceptionFilter(Filter);
            fault.run();
            Print("resumed\n");
            return 0;
        }
    }
    fprintf(stderr, "unknown fault %s\n", argv[1]);
    return 2;
}
