#include "crash/exception_record.h"

#include <climits>
#include <cstring>

namespace pal {
namespace {

// What a fault's parameters hold.
enum class Params {
    kNone,
    kAccess,             // the kind of access and the data address
    kGeneralProtection,  // a read of an address that cannot be formed: all ones
    kInPageEndOfFile,    // an access beyond the end of a mapped file
    kInPageDevice,       // a page the device could not deliver
    kBreakpoint,         // int3: reported at the instruction, not after it
};

struct Mapping {
    int signo;
    int code;  // si_code, or kAnyCode for the signal's remaining codes
    DWORD exception;
    Params params;
};

constexpr int kAnyCode = INT_MIN;

// First match wins.
constexpr Mapping kMappings[] = {
    {SIGSEGV, SI_KERNEL, EXCEPTION_ACCESS_VIOLATION, Params::kGeneralProtection},
    {SIGSEGV, kAnyCode, EXCEPTION_ACCESS_VIOLATION, Params::kAccess},
    {SIGBUS, BUS_ADRALN, EXCEPTION_DATATYPE_MISALIGNMENT, Params::kNone},
    {SIGBUS, BUS_ADRERR, EXCEPTION_IN_PAGE_ERROR, Params::kInPageEndOfFile},
    {SIGBUS, kAnyCode, EXCEPTION_IN_PAGE_ERROR, Params::kInPageDevice},
    {SIGILL, ILL_PRVOPC, EXCEPTION_PRIV_INSTRUCTION, Params::kNone},
    {SIGILL, ILL_PRVREG, EXCEPTION_PRIV_INSTRUCTION, Params::kNone},
    {SIGILL, kAnyCode, EXCEPTION_ILLEGAL_INSTRUCTION, Params::kNone},
    {SIGFPE, FPE_INTDIV, EXCEPTION_INT_DIVIDE_BY_ZERO, Params::kNone},
    {SIGFPE, FPE_INTOVF, EXCEPTION_INT_OVERFLOW, Params::kNone},
    {SIGFPE, FPE_FLTDIV, EXCEPTION_FLT_DIVIDE_BY_ZERO, Params::kNone},
    {SIGFPE, FPE_FLTOVF, EXCEPTION_FLT_OVERFLOW, Params::kNone},
    {SIGFPE, FPE_FLTUND, EXCEPTION_FLT_UNDERFLOW, Params::kNone},
    {SIGFPE, FPE_FLTRES, EXCEPTION_FLT_INEXACT_RESULT, Params::kNone},
    {SIGFPE, FPE_FLTSUB, EXCEPTION_ARRAY_BOUNDS_EXCEEDED, Params::kNone},
    {SIGFPE, kAnyCode, EXCEPTION_FLT_INVALID_OPERATION, Params::kNone},
    {SIGTRAP, SI_KERNEL, EXCEPTION_BREAKPOINT, Params::kBreakpoint},
    {SIGTRAP, TRAP_TRACE, EXCEPTION_SINGLE_STEP, Params::kNone},
    {SIGTRAP, TRAP_HWBKPT, EXCEPTION_SINGLE_STEP, Params::kNone},
    {SIGTRAP, kAnyCode, EXCEPTION_BREAKPOINT, Params::kNone},
};

// Page-fault error code bits the kernel saves in REG_ERR.
constexpr greg_t kFaultWrite = 0x2;
constexpr greg_t kFaultInstructionFetch = 0x10;

ULONG_PTR AccessKind(const ucontext_t& uc) {
    greg_t error = uc.uc_mcontext.gregs[REG_ERR];
    if (error & kFaultInstructionFetch) {
        return EXCEPTION_EXECUTE_FAULT;
    }
    return (error & kFaultWrite) ? EXCEPTION_WRITE_FAULT : EXCEPTION_READ_FAULT;
}

const Mapping& Find(const siginfo_t& info) {
    for (const Mapping& m : kMappings) {
        if (m.signo == info.si_signo && (m.code == kAnyCode || m.code == info.si_code)) {
            return m;
        }
    }
    static constexpr Mapping kUnknown = {0, kAnyCode, EXCEPTION_ACCESS_VIOLATION, Params::kNone};
    return kUnknown;
}

// The kernel's saved segment word: cs, gs and fs, and ss when the flag says it is valid.
constexpr unsigned long kSigcontextSs = 0x2;

}  // namespace

void RecordFromSignal(const siginfo_t& info, const ucontext_t& uc, EXCEPTION_RECORD* record) {
    std::memset(record, 0, sizeof *record);
    const Mapping& mapping = Find(info);
    auto rip = static_cast<ULONG_PTR>(uc.uc_mcontext.gregs[REG_RIP]);
    auto data = reinterpret_cast<ULONG_PTR>(info.si_addr);
    record->ExceptionCode = mapping.exception;
    record->ExceptionAddress = reinterpret_cast<PVOID>(rip);
    ULONG_PTR* p = record->ExceptionInformation;
    switch (mapping.params) {
        case Params::kNone:
            break;
        case Params::kAccess:
            record->NumberParameters = 2;
            p[0] = info.si_code > 0 ? AccessKind(uc) : EXCEPTION_READ_FAULT;
            p[1] = info.si_code > 0 ? data : 0;
            break;
        case Params::kGeneralProtection:
            record->NumberParameters = 2;
            p[0] = EXCEPTION_READ_FAULT;
            p[1] = ~static_cast<ULONG_PTR>(0);
            break;
        case Params::kInPageEndOfFile:
        case Params::kInPageDevice:
            record->NumberParameters = 3;
            p[0] = AccessKind(uc);
            p[1] = data;
            p[2] = mapping.params == Params::kInPageEndOfFile ? STATUS_END_OF_FILE
                                                              : STATUS_DEVICE_DATA_ERROR;
            break;
        case Params::kBreakpoint:
            // The trap leaves rip after the one-byte int3; it was just executed, so it is
            // readable.
            if (rip != 0 && *reinterpret_cast<const unsigned char*>(rip - 1) == 0xCC) {
                record->ExceptionAddress = reinterpret_cast<PVOID>(rip - 1);
            }
            break;
    }
}

void ContextFromSignal(const ucontext_t& uc, const EXCEPTION_RECORD& record, CONTEXT* context) {
    std::memset(context, 0, sizeof *context);
    const greg_t* g = uc.uc_mcontext.gregs;
    context->ContextFlags = CONTEXT_CONTROL | CONTEXT_INTEGER | CONTEXT_SEGMENTS;
    context->Rax = g[REG_RAX];
    context->Rcx = g[REG_RCX];
    context->Rdx = g[REG_RDX];
    context->Rbx = g[REG_RBX];
    context->Rsp = g[REG_RSP];
    context->Rbp = g[REG_RBP];
    context->Rsi = g[REG_RSI];
    context->Rdi = g[REG_RDI];
    context->R8 = g[REG_R8];
    context->R9 = g[REG_R9];
    context->R10 = g[REG_R10];
    context->R11 = g[REG_R11];
    context->R12 = g[REG_R12];
    context->R13 = g[REG_R13];
    context->R14 = g[REG_R14];
    context->R15 = g[REG_R15];
    context->Rip = reinterpret_cast<DWORD64>(record.ExceptionAddress);
    context->EFlags = static_cast<DWORD>(g[REG_EFL]);
    auto segments = static_cast<uint64_t>(g[REG_CSGSFS]);
    context->SegCs = static_cast<WORD>(segments);
    context->SegGs = static_cast<WORD>(segments >> 16);
    context->SegFs = static_cast<WORD>(segments >> 32);
    if (uc.uc_flags & kSigcontextSs) {
        context->SegSs = static_cast<WORD>(segments >> 48);
    }
    uint16_t ds = 0, es = 0;
    asm("mov %%ds, %0" : "=r"(ds));
    asm("mov %%es, %0" : "=r"(es));
    context->SegDs = ds;
    context->SegEs = es;
    if (uc.uc_mcontext.fpregs != nullptr) {
        static_assert(sizeof(*uc.uc_mcontext.fpregs) == sizeof(context->FltSave));
        std::memcpy(&context->FltSave, uc.uc_mcontext.fpregs, sizeof context->FltSave);
        context->MxCsr = uc.uc_mcontext.fpregs->mxcsr;
        context->ContextFlags |= CONTEXT_FLOATING_POINT;
    }
}

void ContextToSignal(const CONTEXT& context, ucontext_t* uc) {
    greg_t* g = uc->uc_mcontext.gregs;
    auto has = [&](DWORD group) { return (context.ContextFlags & group) == group; };
    if (has(CONTEXT_INTEGER)) {
        g[REG_RAX] = static_cast<greg_t>(context.Rax);
        g[REG_RCX] = static_cast<greg_t>(context.Rcx);
        g[REG_RDX] = static_cast<greg_t>(context.Rdx);
        g[REG_RBX] = static_cast<greg_t>(context.Rbx);
        g[REG_RBP] = static_cast<greg_t>(context.Rbp);
        g[REG_RSI] = static_cast<greg_t>(context.Rsi);
        g[REG_RDI] = static_cast<greg_t>(context.Rdi);
        g[REG_R8] = static_cast<greg_t>(context.R8);
        g[REG_R9] = static_cast<greg_t>(context.R9);
        g[REG_R10] = static_cast<greg_t>(context.R10);
        g[REG_R11] = static_cast<greg_t>(context.R11);
        g[REG_R12] = static_cast<greg_t>(context.R12);
        g[REG_R13] = static_cast<greg_t>(context.R13);
        g[REG_R14] = static_cast<greg_t>(context.R14);
        g[REG_R15] = static_cast<greg_t>(context.R15);
    }
    if (has(CONTEXT_CONTROL)) {
        g[REG_RIP] = static_cast<greg_t>(context.Rip);
        g[REG_RSP] = static_cast<greg_t>(context.Rsp);
        g[REG_EFL] = static_cast<greg_t>(context.EFlags);
    }
    if (has(CONTEXT_FLOATING_POINT) && uc->uc_mcontext.fpregs != nullptr) {
        auto* fp = uc->uc_mcontext.fpregs;
        uint32_t mask = fp->mxcr_mask != 0 ? fp->mxcr_mask : 0xFFBFu;
        std::memcpy(fp, &context.FltSave, sizeof context.FltSave);
        fp->mxcsr = context.MxCsr & mask;
        fp->mxcr_mask = mask;
    }
}

}  // namespace pal
