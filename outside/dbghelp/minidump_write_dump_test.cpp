// The export, as a program calls it: with a file handle of the program's layer.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "dump_reader.h"
#include "exports.h"
#include "file/file_descriptor.h"
#include "windows.h"

namespace {

class MemoryFile : public pal::DescriptorObject {
public:
    MemoryFile() : fd_(memfd_create("dump", MFD_CLOEXEC)) {}
    ~MemoryFile() override { close(fd_); }
    int Descriptor() const override { return fd_; }

private:
    int fd_;
};

struct Opened {
    std::shared_ptr<MemoryFile> file = std::make_shared<MemoryFile>();
    HANDLE handle = pal::AddHandle(file);
    ~Opened() { CloseHandle(handle); }
    off_t Size() const {
        struct stat st {};
        fstat(file->Descriptor(), &st);
        return st.st_size;
    }
    std::string Bytes() const {
        std::string bytes(static_cast<size_t>(Size()), '\0');
        EXPECT_EQ(pread(file->Descriptor(), bytes.data(), bytes.size(), 0),
                  static_cast<ssize_t>(bytes.size()));
        return bytes;
    }
};

HANDLE CurrentProcess() {
    return INVALID_HANDLE_VALUE;
}
DWORD Pid() {
    return static_cast<DWORD>(getpid());
}

TEST(MiniDumpWriteDump, WritesTheExceptionOfTheCallingThread) {
    Opened out;
    EXCEPTION_RECORD record{};
    record.ExceptionCode = EXCEPTION_INT_DIVIDE_BY_ZERO;
    CONTEXT context{};
    char stack[32] = "stack";
    context.Rsp = reinterpret_cast<uintptr_t>(stack);
    EXCEPTION_POINTERS pointers = {&record, &context};
    MINIDUMP_EXCEPTION_INFORMATION info = {static_cast<DWORD>(gettid()), &pointers, TRUE};
    ASSERT_TRUE(MiniDumpWriteDump(CurrentProcess(), Pid(), out.handle, MiniDumpNormal, &info,
                                  nullptr, nullptr));
    dumptest::Minidump dump(out.Bytes());
    ASSERT_TRUE(dump.GetException().has_value());
    EXPECT_EQ(dump.GetException()->code, EXCEPTION_INT_DIVIDE_BY_ZERO);
    EXPECT_EQ(dump.GetException()->threadId, static_cast<uint32_t>(gettid()));
}

// Without exception information the dump shows the calling thread where it called.
TEST(MiniDumpWriteDump, WithoutExceptionCapturesTheCallingThread) {
    Opened out;
    ASSERT_TRUE(MiniDumpWriteDump(CurrentProcess(), Pid(), out.handle, MiniDumpNormal, nullptr,
                                  nullptr, nullptr));
    dumptest::Minidump dump(out.Bytes());
    EXPECT_FALSE(dump.GetException().has_value());
    auto threads = dump.Threads();
    ASSERT_EQ(threads.size(), 1u);
    EXPECT_EQ(threads[0].id, static_cast<uint32_t>(gettid()));
    CONTEXT context = dump.Context(threads[0].context);
    int local = 0;
    auto here = reinterpret_cast<uintptr_t>(&local);
    EXPECT_LE(context.Rsp, here + 64 * 1024) << "the stack pointer is this thread's";
    EXPECT_GE(context.Rsp + 64 * 1024, here);
    EXPECT_GT(threads[0].stack.size, 0u);
}

TEST(MiniDumpWriteDump, RefusesWhatItCannotDoAndWritesNothing) {
    CONTEXT context{};
    EXCEPTION_RECORD record{};
    EXCEPTION_POINTERS pointers = {&record, &context};
    MINIDUMP_EXCEPTION_INFORMATION info = {1, &pointers, TRUE};
    auto* someStreams = reinterpret_cast<PMINIDUMP_USER_STREAM_INFORMATION>(&info);
    auto* someCallback = reinterpret_cast<PMINIDUMP_CALLBACK_INFORMATION>(&info);
    HANDLE notAFile = pal::AddHandle(std::make_shared<pal::Object>());
    struct Case {
        const char* name;
        DWORD pid;
        bool fileHandle;  // else `handle`
        HANDLE handle;
        int type;
        PMINIDUMP_USER_STREAM_INFORMATION streams;
        PMINIDUMP_CALLBACK_INFORMATION callback;
    };
    const Case cases[] = {
        {"another process", Pid() + 100000, true, nullptr, MiniDumpNormal, nullptr, nullptr},
        {"a fuller dump type", Pid(), true, nullptr, 0x2, nullptr, nullptr},
        {"user streams", Pid(), true, nullptr, MiniDumpNormal, someStreams, nullptr},
        {"a callback", Pid(), true, nullptr, MiniDumpNormal, nullptr, someCallback},
        {"no handle", Pid(), false, nullptr, MiniDumpNormal, nullptr, nullptr},
        {"an invalid handle", Pid(), false, INVALID_HANDLE_VALUE, MiniDumpNormal, nullptr, nullptr},
        {"a handle that is no file", Pid(), false, notAFile, MiniDumpNormal, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        Opened out;
        HANDLE file = c.fileHandle ? out.handle : c.handle;
        EXPECT_FALSE(MiniDumpWriteDump(CurrentProcess(), c.pid, file,
                                       static_cast<MINIDUMP_TYPE>(c.type), &info, c.streams,
                                       c.callback))
            << c.name;
        EXPECT_EQ(out.Size(), 0) << c.name;
    }
    CloseHandle(notAFile);
}

}  // namespace
