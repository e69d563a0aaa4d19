#include "dump_writer.h"

#include <sched.h>
#include <time.h>
#include <unistd.h>

#include <atomic>

#include "dump_output.h"
#include "minidump_format.h"
#include "proc_maps.h"
#include "system_info.h"
#include "utf16.h"

namespace dbghelp {
namespace {

static_assert(sizeof(CONTEXT) == kContextSize);
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the context is copied as it lies");

constexpr uint64_t kRedZone = 128;       // below the stack pointer, still in use by leaf code
constexpr uint64_t kMaxStack = 1 << 20;  // the stack kept from the stack pointer upwards

struct Location {
    uint32_t size;
    uint32_t rva;
};

struct Layout {
    uint32_t streamCount;
    Location systemInfo, systemText, misc, exception, context, threadList, memoryList, moduleList;
    uint64_t stackAddress;
    Location stack;  // rva 0 when no stack memory is kept
    uint32_t end;
};

// The writer's storage, used by one dump at a time.
struct WriterState {
    ProcMaps maps;
    SystemInfo system;
    uint32_t nameRvas[ProcMaps::kMaxModules];
};
WriterState g_state;
std::atomic<pid_t> g_owner{0};  // the thread writing a dump, 0 when none is

// One dump at a time. A thread that faults while it writes one and tries again from its filter
// is refused instead of waiting for itself.
class Turn {
public:
    Turn() : self_(gettid()) {
        for (pid_t free = 0; !g_owner.compare_exchange_weak(free, self_); free = 0) {
            if (free == self_) {
                self_ = 0;
                return;
            }
            sched_yield();
        }
    }
    ~Turn() {
        if (self_ != 0) {
            g_owner.store(0);
        }
    }
    bool Held() const { return self_ != 0; }

private:
    pid_t self_;
};

uint32_t Align(uint32_t value, uint32_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

void PlanStack(const DumpRequest& request, const ProcMaps& maps, Layout* layout) {
    uint64_t sp = request.context->Rsp;
    layout->stackAddress = sp;
    if (maps.stackEnd <= maps.stackStart) {
        return;
    }
    uint64_t start = sp >= maps.stackStart + kRedZone ? sp - kRedZone : maps.stackStart;
    uint64_t end = maps.stackEnd - start > kMaxStack ? start + kMaxStack : maps.stackEnd;
    layout->stackAddress = start;
    layout->stack.size = static_cast<uint32_t>(end - start);
}

Layout Plan(const DumpRequest& request, WriterState* state) {
    Layout layout{};
    layout.streamCount = request.exception != nullptr ? 6 : 5;
    uint32_t at = kHeaderSize + layout.streamCount * kDirectoryEntrySize;
    auto place = [&](Location* location, uint32_t size, uint32_t alignment) {
        at = Align(at, alignment);
        *location = {size, at};
        at += size;
    };
    const SystemInfo& system = state->system;
    place(&layout.systemInfo, kSystemInfoSize, 4);
    place(&layout.systemText, StringRecordSize(system.text, system.textLength), 4);
    place(&layout.misc, kMiscInfoSize, 4);
    if (request.exception != nullptr) {
        place(&layout.exception, kExceptionStreamSize, 4);
    }
    place(&layout.context, kContextSize, 16);
    place(&layout.threadList, 4 + kThreadSize, 4);
    PlanStack(request, state->maps, &layout);
    place(&layout.memoryList, 4 + (layout.stack.size > 0 ? kMemoryDescriptorSize : 0), 4);
    const ProcMaps& maps = state->maps;
    place(&layout.moduleList, 4 + kModuleSize * static_cast<uint32_t>(maps.moduleCount), 4);
    for (size_t i = 0; i < maps.moduleCount; ++i) {
        const Module& m = maps.modules[i];
        Location name;
        place(&name, StringRecordSize(maps.Name(m), m.nameLength), 4);
        state->nameRvas[i] = name.rva;
    }
    if (layout.stack.size > 0) {
        place(&layout.stack, layout.stack.size, 16);
    }
    layout.end = at;
    return layout;
}

// Pads up to where the plan puts the next record; false when the output ran past it.
bool Seek(DumpOutput* out, uint32_t rva) {
    if (out->Position() > rva) {
        return false;
    }
    out->Zeros(rva - out->Position());
    return true;
}

void PutLocation(DumpOutput* out, const Location& location) {
    out->U32(location.size);
    out->U32(location.rva);
}

void PutHeader(DumpOutput* out, const Layout& layout, bool withException) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    out->U32(kSignature);
    out->U32(kVersion);
    out->U32(layout.streamCount);
    out->U32(kHeaderSize);  // the directory follows the header
    out->U32(0);            // checksum: none
    out->U32(static_cast<uint32_t>(now.tv_sec));
    out->U64(MiniDumpNormal);
    const struct {
        StreamType type;
        const Location* location;
    } entries[] = {
        {kSystemInfoStream, &layout.systemInfo}, {kMiscInfoStream, &layout.misc},
        {kExceptionStream, &layout.exception},   {kThreadListStream, &layout.threadList},
        {kMemoryListStream, &layout.memoryList}, {kModuleListStream, &layout.moduleList},
    };
    for (const auto& entry : entries) {
        if (entry.type == kExceptionStream && !withException) {
            continue;
        }
        out->U32(entry.type);
        PutLocation(out, *entry.location);
    }
}

void PutMisc(DumpOutput* out, uint32_t processId) {
    out->U32(kMiscInfoSize);
    out->U32(kMiscProcessId);
    out->U32(processId);
    out->U32(0);  // creation, user and kernel times: not kept
    out->U32(0);
    out->U32(0);
}

void PutException(DumpOutput* out, const DumpRequest& request, const Layout& layout) {
    const EXCEPTION_RECORD& record = *request.exception;
    uint32_t count = record.NumberParameters < kExceptionParameters ? record.NumberParameters
                                                                    : kExceptionParameters;
    out->U32(request.threadId);
    out->U32(0);
    out->U32(record.ExceptionCode);
    out->U32(record.ExceptionFlags);
    out->U64(reinterpret_cast<uintptr_t>(record.ExceptionRecord));
    out->U64(reinterpret_cast<uintptr_t>(record.ExceptionAddress));
    out->U32(count);
    out->U32(0);
    for (uint32_t i = 0; i < kExceptionParameters; ++i) {
        out->U64(i < count ? record.ExceptionInformation[i] : 0);
    }
    PutLocation(out, layout.context);
}

void PutThreadList(DumpOutput* out, const DumpRequest& request, const Layout& layout) {
    out->U32(1);
    out->U32(request.threadId);
    out->U32(0);  // suspend count
    out->U32(0);  // priority class
    out->U32(0);  // priority
    out->U64(0);  // thread environment block: none on this system
    out->U64(layout.stackAddress);
    PutLocation(out, layout.stack);
    PutLocation(out, layout.context);
}

void PutMemoryList(DumpOutput* out, const Layout& layout) {
    out->U32(layout.stack.size > 0 ? 1 : 0);
    if (layout.stack.size > 0) {
        out->U64(layout.stackAddress);
        PutLocation(out, layout.stack);
    }
}

void PutModuleList(DumpOutput* out, const ProcMaps& maps, const uint32_t* nameRvas) {
    out->U32(static_cast<uint32_t>(maps.moduleCount));
    for (size_t i = 0; i < maps.moduleCount; ++i) {
        const Module& m = maps.modules[i];
        uint64_t size = m.end - m.base;
        out->U64(m.base);
        out->U32(size > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(size));
        out->U32(0);  // checksum
        out->U32(0);  // time stamp
        out->U32(nameRvas[i]);
        out->Zeros(kVersionInfoSize);  // no version resource
        out->Zeros(8);                 // no debug record
        out->Zeros(8);                 // no misc record
        out->U64(0);
        out->U64(0);
    }
}

bool Emit(DumpOutput* out, const DumpRequest& request, const Layout& layout,
          const WriterState& state) {
    bool withException = request.exception != nullptr;
    PutHeader(out, layout, withException);
    if (!Seek(out, layout.systemInfo.rva)) {
        return false;
    }
    PutSystemInfo(out, state.system, layout.systemText.rva);
    PutString(out, state.system.text, state.system.textLength);
    if (!Seek(out, layout.misc.rva)) {
        return false;
    }
    PutMisc(out, request.processId);
    if (withException) {
        PutException(out, request, layout);
    }
    if (!Seek(out, layout.context.rva)) {
        return false;
    }
    out->Bytes(request.context, kContextSize);
    PutThreadList(out, request, layout);
    PutMemoryList(out, layout);
    if (!Seek(out, layout.moduleList.rva)) {
        return false;
    }
    PutModuleList(out, state.maps, state.nameRvas);
    for (size_t i = 0; i < state.maps.moduleCount; ++i) {
        const Module& m = state.maps.modules[i];
        if (!Seek(out, state.nameRvas[i])) {
            return false;
        }
        PutString(out, state.maps.Name(m), m.nameLength);
    }
    if (layout.stack.size > 0) {
        if (!Seek(out, layout.stack.rva)) {
            return false;
        }
        out->Memory(layout.stackAddress, layout.stack.size);
    }
    return out->Position() == layout.end;
}

}  // namespace

bool WriteMinidump(int fd, const DumpRequest& request) {
    if (fd < 0 || request.context == nullptr) {
        return false;
    }
    Turn turn;
    if (!turn.Held()) {
        return false;
    }
    WriterState& state = g_state;
    ScanProcMaps(request.context->Rsp, &state.maps);  // an unreadable file leaves no modules
    GatherSystemInfo(&state.system);
    Layout layout = Plan(request, &state);
    DumpOutput output(fd);
    bool laidOut = Emit(&output, request, layout, state);
    return output.Finish() && laidOut;
}

}  // namespace dbghelp
