// Dumps of this process, written to a descriptor and read back.
#include "dump_writer.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "dump_output.h"
#include "dump_reader.h"
#include "minidump_format.h"

namespace {

using dumptest::Minidump;

// A file the dump goes to, read back whole.
class DumpFile {
public:
    DumpFile() : fd_(memfd_create("dump", MFD_CLOEXEC)) {}
    ~DumpFile() { close(fd_); }
    int Fd() const { return fd_; }
    std::string Bytes() const {
        std::string bytes;
        char buffer[65536];
        for (off_t at = 0;;) {
            ssize_t n = pread(fd_, buffer, sizeof buffer, at);
            if (n <= 0) {
                return bytes;
            }
            bytes.append(buffer, static_cast<size_t>(n));
            at += n;
        }
    }

private:
    int fd_;
};

__attribute__((noinline)) void FaultSite() {
    asm volatile("");
}

constexpr char kMarker[] = "stack marker 0123456789";

// A fault as a filter would see it, with the stack pointer at a marker on this thread's stack.
struct FakeFault {
    EXCEPTION_RECORD record{};
    CONTEXT context{};
    char stack[64];

    FakeFault() {
        std::memcpy(stack, kMarker, sizeof kMarker);
        record.ExceptionCode = EXCEPTION_ACCESS_VIOLATION;
        record.ExceptionAddress = reinterpret_cast<PVOID>(&FaultSite);
        record.NumberParameters = 2;
        record.ExceptionInformation[0] = EXCEPTION_WRITE_FAULT;
        record.ExceptionInformation[1] = 0x28;
        record.ExceptionInformation[2] = 0xDEAD;  // beyond NumberParameters: not written
        context.ContextFlags = CONTEXT_CONTROL | CONTEXT_INTEGER;
        context.Rip = reinterpret_cast<uintptr_t>(&FaultSite);
        context.Rsp = reinterpret_cast<uintptr_t>(stack);
        context.Rax = 0x1111;
        context.R15 = 0xF15;
    }
};

std::string SelfPath() {
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    return n > 0 ? std::string(path, static_cast<size_t>(n)) : "";
}

const dumptest::Module* ModuleHolding(const std::vector<dumptest::Module>& modules,
                                      uintptr_t address) {
    for (const auto& m : modules) {
        if (m.base <= address && address < m.base + m.size) {
            return &m;
        }
    }
    return nullptr;
}

TEST(WriteMinidump, FaultDumpHoldsEveryStreamConsistently) {
    FakeFault fault;
    DumpFile file;
    dbghelp::DumpRequest request = {static_cast<uint32_t>(getpid()), 4242, &fault.record,
                                    &fault.context};
    ASSERT_TRUE(dbghelp::WriteMinidump(file.Fd(), request));
    Minidump dump(file.Bytes());

    EXPECT_EQ(dump.Version() & 0xFFFF, 0xA793u);
    EXPECT_EQ(dump.Flags(), 0u) << "MiniDumpNormal";
    ASSERT_EQ(dump.Streams().size(), 6u);

    auto exception = dump.GetException();
    ASSERT_TRUE(exception.has_value());
    EXPECT_EQ(exception->threadId, 4242u);
    EXPECT_EQ(exception->code, EXCEPTION_ACCESS_VIOLATION);
    EXPECT_EQ(exception->address, reinterpret_cast<uintptr_t>(&FaultSite));
    EXPECT_EQ(exception->parameterCount, 2u);
    EXPECT_EQ(exception->parameters[0], 1u);
    EXPECT_EQ(exception->parameters[1], 0x28u);
    EXPECT_EQ(exception->parameters[2], 0u);

    auto threads = dump.Threads();
    ASSERT_EQ(threads.size(), 1u);
    const dumptest::Thread& thread = threads[0];
    EXPECT_EQ(thread.id, 4242u);
    EXPECT_EQ(thread.context, exception->context) << "one context serves both";
    CONTEXT saved = dump.Context(thread.context);
    EXPECT_EQ(std::memcmp(&saved, &fault.context, sizeof saved), 0);

    // The stack runs from just below the stack pointer up to the top of the stack.
    uint64_t sp = fault.context.Rsp;
    ASSERT_LE(thread.stackStart, sp);
    ASSERT_GT(thread.stackStart + thread.stack.size, sp + sizeof kMarker);
    EXPECT_EQ(sp - thread.stackStart, 128u) << "the red zone below the stack pointer";
    std::string stack = dump.Bytes(thread.stack);
    EXPECT_EQ(stack.substr(sp - thread.stackStart, sizeof kMarker - 1), kMarker);
    auto memory = dump.Memory();
    ASSERT_EQ(memory.size(), 1u);
    EXPECT_EQ(memory[0].start, thread.stackStart);
    EXPECT_EQ(memory[0].memory, thread.stack);

    auto modules = dump.Modules();
    const auto* self = ModuleHolding(modules, reinterpret_cast<uintptr_t>(&FaultSite));
    ASSERT_NE(self, nullptr);
    EXPECT_EQ(self->name, SelfPath());
    const auto* library =
        ModuleHolding(modules, reinterpret_cast<uintptr_t>(&dbghelp::WriteMinidump));
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(library->name, std::string(BR_BIN_DIR) + "/libDBGHELP.so");
    for (const auto& m : modules) {
        EXPECT_EQ(m.name[0], '/') << m.name;
        EXPECT_EQ(m.base % 4096, 0u) << m.name;
        EXPECT_EQ(ModuleHolding(modules, m.base), &m) << m.name << " overlaps another module";
    }

    dumptest::System system = dump.SystemInfo();
    EXPECT_EQ(system.architecture, 9);
    EXPECT_GE(system.processors, 1);
    EXPECT_EQ(system.platform, 0x8201u);
    EXPECT_EQ(system.text.rfind("Linux ", 0), 0u) << system.text;
    EXPECT_EQ(dump.ProcessId(), static_cast<uint32_t>(getpid()));
}

// The header and the first directory entry, byte for byte (the time stamp aside).
TEST(WriteMinidump, HeaderAndDirectoryBytes) {
    FakeFault fault;
    DumpFile file;
    dbghelp::DumpRequest request = {1, 2, &fault.record, &fault.context};
    ASSERT_TRUE(dbghelp::WriteMinidump(file.Fd(), request));
    std::string bytes = file.Bytes();
    const unsigned char expected[] = {
        0x4D, 0x44, 0x4D, 0x50,  // "MDMP"
        0x93, 0xA7, 0x00, 0x00,  // version
        0x06, 0x00, 0x00, 0x00,  // six streams
        0x20, 0x00, 0x00, 0x00,  // directory at 32
        0x00, 0x00, 0x00, 0x00,  // no checksum
    };
    ASSERT_GE(bytes.size(), 104u);
    EXPECT_EQ(bytes.substr(0, sizeof expected),
              std::string(reinterpret_cast<const char*>(expected), sizeof expected));
    const unsigned char flags[8] = {};
    EXPECT_EQ(bytes.substr(24, 8), std::string(reinterpret_cast<const char*>(flags), 8));
    const unsigned char systemInfoEntry[] = {
        0x07, 0x00, 0x00, 0x00,  // SystemInfoStream
        0x38, 0x00, 0x00, 0x00,  // 56 bytes
        0x68, 0x00, 0x00, 0x00,  // right after the six entries: 32 + 6 * 12
    };
    EXPECT_EQ(bytes.substr(32, 12),
              std::string(reinterpret_cast<const char*>(systemInfoEntry), sizeof systemInfoEntry));
}

TEST(WriteMinidump, WithoutExceptionHasNoExceptionStream) {
    FakeFault fault;
    DumpFile file;
    dbghelp::DumpRequest request = {static_cast<uint32_t>(getpid()), 7, nullptr, &fault.context};
    ASSERT_TRUE(dbghelp::WriteMinidump(file.Fd(), request));
    Minidump dump(file.Bytes());
    EXPECT_EQ(dump.Streams().size(), 5u);
    EXPECT_FALSE(dump.GetException().has_value());
    ASSERT_EQ(dump.Threads().size(), 1u);
    EXPECT_EQ(dump.Threads()[0].id, 7u);
}

// A stack pointer in no readable mapping keeps no stack; an unreadable page inside the stack
// range is kept as zeros so the layout holds.
TEST(WriteMinidump, UnreadableStackMemory) {
    FakeFault fault;
    fault.context.Rsp = 0x10;
    DumpFile file;
    dbghelp::DumpRequest request = {1, 2, &fault.record, &fault.context};
    ASSERT_TRUE(dbghelp::WriteMinidump(file.Fd(), request));
    Minidump dump(file.Bytes());
    EXPECT_EQ(dump.Threads()[0].stack.size, 0u);
    EXPECT_TRUE(dump.Memory().empty());

    // A mapping that becomes unreadable between the scan and the copy reads as zeros: here a
    // page that was never readable stands in, copied directly.
    void* page = mmap(nullptr, 8192, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(page, MAP_FAILED);
    std::memset(page, 'x', 8192);
    mprotect(static_cast<char*>(page) + 4096, 4096, PROT_NONE);
    DumpFile copy;
    {
        dbghelp::DumpOutput out(copy.Fd());
        out.Memory(reinterpret_cast<uintptr_t>(page), 8192);
        ASSERT_TRUE(out.Finish());
        EXPECT_EQ(out.Position(), 8192u);
    }
    std::string bytes = copy.Bytes();
    EXPECT_EQ(bytes, std::string(4096, 'x') + std::string(4096, '\0'));
    munmap(page, 8192);
}

TEST(WriteMinidump, FailsOnADescriptorItCannotWrite) {
    FakeFault fault;
    dbghelp::DumpRequest request = {1, 2, &fault.record, &fault.context};
    int readOnly = open("/dev/null", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(readOnly, 0);
    EXPECT_FALSE(dbghelp::WriteMinidump(readOnly, request));
    close(readOnly);
    EXPECT_FALSE(dbghelp::WriteMinidump(-1, request));
}

// Two threads dumping at once take turns with the shared storage.
TEST(WriteMinidump, ConcurrentDumpsBothParse) {
    DumpFile files[2];
    bool ok[2] = {};
    std::thread writers[2];
    for (int i = 0; i < 2; ++i) {
        writers[i] = std::thread([&, i] {
            FakeFault fault;
            dbghelp::DumpRequest request = {1, static_cast<uint32_t>(100 + i), &fault.record,
                                            &fault.context};
            for (int round = 0; round < 5; ++round) {
                ok[i] = dbghelp::WriteMinidump(files[i].Fd(), request);
                EXPECT_EQ(ftruncate(files[i].Fd(), 0), 0);
                lseek(files[i].Fd(), 0, SEEK_SET);
            }
            ok[i] = ok[i] && dbghelp::WriteMinidump(files[i].Fd(), request);
        });
    }
    for (auto& w : writers) {
        w.join();
    }
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(ok[i]);
        Minidump dump(files[i].Bytes());
        EXPECT_EQ(dump.GetException()->threadId, static_cast<uint32_t>(100 + i));
    }
}

}  // namespace
