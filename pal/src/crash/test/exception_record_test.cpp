// The records a filter reads, built from a signal's report without faulting: the exception code
// and parameters per signal and si_code, the register mapping, and the write-back on resume.
#include "crash/exception_record.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

namespace {

constexpr uintptr_t kData = 0x7f0012345678;
constexpr uintptr_t kRip = 0x5500000010a0;
constexpr ULONG_PTR kAllOnes = ~ULONG_PTR{0};

struct RecordCase {
    const char* name;
    int signo;
    int code;
    greg_t error;  // the page-fault error code the kernel saves
    DWORD exception;
    DWORD params;
    ULONG_PTR p0, p1, p2;
};

void PrintTo(const RecordCase& c, std::ostream* os) {
    *os << c.name;
}

// Error codes: 0x4 user read, 0x6 user write, 0x7 write to a present page, 0x15 instruction
// fetch from a present page.
const RecordCase kRecordCases[] = {
    {"UnmappedRead", SIGSEGV, SEGV_MAPERR, 0x4, EXCEPTION_ACCESS_VIOLATION, 2, 0, kData, 0},
    {"UnmappedWrite", SIGSEGV, SEGV_MAPERR, 0x6, EXCEPTION_ACCESS_VIOLATION, 2, 1, kData, 0},
    {"ProtectedWrite", SIGSEGV, SEGV_ACCERR, 0x7, EXCEPTION_ACCESS_VIOLATION, 2, 1, kData, 0},
    {"DataExecuted", SIGSEGV, SEGV_ACCERR, 0x15, EXCEPTION_ACCESS_VIOLATION, 2, 8, kData, 0},
    {"GeneralProtection", SIGSEGV, SI_KERNEL, 0, EXCEPTION_ACCESS_VIOLATION, 2, 0, kAllOnes, 0},
    {"SentSegv", SIGSEGV, SI_USER, 0x6, EXCEPTION_ACCESS_VIOLATION, 2, 0, 0, 0},
    {"Misaligned", SIGBUS, BUS_ADRALN, 0, EXCEPTION_DATATYPE_MISALIGNMENT, 0, 0, 0, 0},
    {"BeyondFileRead", SIGBUS, BUS_ADRERR, 0x4, EXCEPTION_IN_PAGE_ERROR, 3, 0, kData,
     STATUS_END_OF_FILE},
    {"BeyondFileWrite", SIGBUS, BUS_ADRERR, 0x6, EXCEPTION_IN_PAGE_ERROR, 3, 1, kData,
     STATUS_END_OF_FILE},
    {"MachineCheck", SIGBUS, BUS_MCEERR_AR, 0x4, EXCEPTION_IN_PAGE_ERROR, 3, 0, kData,
     STATUS_DEVICE_DATA_ERROR},
    {"IllegalOpcode", SIGILL, ILL_ILLOPN, 0, EXCEPTION_ILLEGAL_INSTRUCTION, 0, 0, 0, 0},
    {"PrivilegedOpcode", SIGILL, ILL_PRVOPC, 0, EXCEPTION_PRIV_INSTRUCTION, 0, 0, 0, 0},
    {"IntegerDivide", SIGFPE, FPE_INTDIV, 0, EXCEPTION_INT_DIVIDE_BY_ZERO, 0, 0, 0, 0},
    {"IntegerOverflow", SIGFPE, FPE_INTOVF, 0, EXCEPTION_INT_OVERFLOW, 0, 0, 0, 0},
    {"FloatDivide", SIGFPE, FPE_FLTDIV, 0, EXCEPTION_FLT_DIVIDE_BY_ZERO, 0, 0, 0, 0},
    {"FloatOverflow", SIGFPE, FPE_FLTOVF, 0, EXCEPTION_FLT_OVERFLOW, 0, 0, 0, 0},
    {"FloatUnderflow", SIGFPE, FPE_FLTUND, 0, EXCEPTION_FLT_UNDERFLOW, 0, 0, 0, 0},
    {"FloatInexact", SIGFPE, FPE_FLTRES, 0, EXCEPTION_FLT_INEXACT_RESULT, 0, 0, 0, 0},
    {"FloatInvalid", SIGFPE, FPE_FLTINV, 0, EXCEPTION_FLT_INVALID_OPERATION, 0, 0, 0, 0},
    {"FloatSubscript", SIGFPE, FPE_FLTSUB, 0, EXCEPTION_ARRAY_BOUNDS_EXCEEDED, 0, 0, 0, 0},
    {"SingleStep", SIGTRAP, TRAP_TRACE, 0, EXCEPTION_SINGLE_STEP, 0, 0, 0, 0},
    {"HardwareBreakpoint", SIGTRAP, TRAP_HWBKPT, 0, EXCEPTION_SINGLE_STEP, 0, 0, 0, 0},
    {"SentTrap", SIGTRAP, SI_TKILL, 0, EXCEPTION_BREAKPOINT, 0, 0, 0, 0},
};

struct Fault {
    siginfo_t info;
    ucontext_t uc;

    Fault(int signo, int code, uintptr_t rip) {
        std::memset(&info, 0, sizeof info);
        std::memset(&uc, 0, sizeof uc);
        info.si_signo = signo;
        info.si_code = code;
        info.si_addr = reinterpret_cast<void*>(kData);
        uc.uc_mcontext.gregs[REG_RIP] = static_cast<greg_t>(rip);
    }
};

class Record : public testing::TestWithParam<RecordCase> {};

TEST_P(Record, CodeAndParametersFollowTheSignal) {
    const RecordCase& c = GetParam();
    Fault fault(c.signo, c.code, kRip);
    fault.uc.uc_mcontext.gregs[REG_ERR] = c.error;
    EXCEPTION_RECORD record;
    std::memset(&record, 0xAB, sizeof record);
    pal::RecordFromSignal(fault.info, fault.uc, &record);
    EXPECT_EQ(record.ExceptionCode, c.exception);
    EXPECT_EQ(record.ExceptionFlags, 0u);
    EXPECT_EQ(record.ExceptionRecord, nullptr);
    EXPECT_EQ(record.ExceptionAddress, reinterpret_cast<PVOID>(kRip));
    EXPECT_EQ(record.NumberParameters, c.params);
    EXPECT_EQ(record.ExceptionInformation[0], c.p0);
    EXPECT_EQ(record.ExceptionInformation[1], c.p1);
    EXPECT_EQ(record.ExceptionInformation[2], c.p2);
    for (int i = 3; i < EXCEPTION_MAXIMUM_PARAMETERS; ++i) {
        EXPECT_EQ(record.ExceptionInformation[i], 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Signals, Record, testing::ValuesIn(kRecordCases),
                         [](const testing::TestParamInfo<RecordCase>& info) {
                             return std::string(info.param.name);
                         });

// An int3 leaves rip after the instruction; the exception and the context report the int3.
TEST(Record, BreakpointIsReportedAtTheInt3) {
    static const unsigned char code[] = {0x90, 0xCC, 0x90};
    auto afterInt3 = reinterpret_cast<uintptr_t>(&code[2]);
    Fault fault(SIGTRAP, SI_KERNEL, afterInt3);
    EXCEPTION_RECORD record;
    CONTEXT context;
    pal::RecordFromSignal(fault.info, fault.uc, &record);
    pal::ContextFromSignal(fault.uc, record, &context);
    EXPECT_EQ(record.ExceptionCode, EXCEPTION_BREAKPOINT);
    EXPECT_EQ(record.ExceptionAddress, &code[1]);
    EXPECT_EQ(context.Rip, reinterpret_cast<uintptr_t>(&code[1]));

    // A trap whose previous byte is no int3 stays where it is.
    Fault other(SIGTRAP, SI_KERNEL, reinterpret_cast<uintptr_t>(&code[1]));
    pal::RecordFromSignal(other.info, other.uc, &record);
    EXPECT_EQ(record.ExceptionAddress, &code[1]);
}

struct Register {
    const char* name;
    int reg;
    DWORD64 CONTEXT::*field;
};

const Register kRegisters[] = {
    {"Rax", REG_RAX, &CONTEXT::Rax}, {"Rcx", REG_RCX, &CONTEXT::Rcx},
    {"Rdx", REG_RDX, &CONTEXT::Rdx}, {"Rbx", REG_RBX, &CONTEXT::Rbx},
    {"Rsp", REG_RSP, &CONTEXT::Rsp}, {"Rbp", REG_RBP, &CONTEXT::Rbp},
    {"Rsi", REG_RSI, &CONTEXT::Rsi}, {"Rdi", REG_RDI, &CONTEXT::Rdi},
    {"R8", REG_R8, &CONTEXT::R8},    {"R9", REG_R9, &CONTEXT::R9},
    {"R10", REG_R10, &CONTEXT::R10}, {"R11", REG_R11, &CONTEXT::R11},
    {"R12", REG_R12, &CONTEXT::R12}, {"R13", REG_R13, &CONTEXT::R13},
    {"R14", REG_R14, &CONTEXT::R14}, {"R15", REG_R15, &CONTEXT::R15},
};

TEST(Context, TakesEveryRegisterTheSignalSaved) {
    Fault fault(SIGSEGV, SEGV_MAPERR, kRip);
    greg_t* g = fault.uc.uc_mcontext.gregs;
    for (const Register& r : kRegisters) {
        g[r.reg] = 0x1000 + r.reg;
    }
    g[REG_EFL] = 0x10246;
    g[REG_CSGSFS] = static_cast<greg_t>(0x002B000000000033ull);
    fault.uc.uc_flags = 0x2;  // the saved ss is valid
    _libc_fpstate fp{};
    fp.mxcsr = 0x1F80;
    fp._xmm[0].element[0] = 0xCAFEF00D;
    fault.uc.uc_mcontext.fpregs = &fp;

    EXCEPTION_RECORD record;
    CONTEXT context;
    pal::RecordFromSignal(fault.info, fault.uc, &record);
    pal::ContextFromSignal(fault.uc, record, &context);
    for (const Register& r : kRegisters) {
        EXPECT_EQ(context.*r.field, static_cast<DWORD64>(0x1000 + r.reg)) << r.name;
    }
    EXPECT_EQ(context.Rip, kRip);
    EXPECT_EQ(context.EFlags, 0x10246u);
    EXPECT_EQ(context.SegCs, 0x33);
    EXPECT_EQ(context.SegSs, 0x2B);
    EXPECT_EQ(context.MxCsr, 0x1F80u);
    EXPECT_EQ(context.FltSave.MxCsr, 0x1F80u);
    EXPECT_EQ(context.Xmm0.Low & 0xFFFFFFFF, 0xCAFEF00Du);
    EXPECT_EQ(context.ContextFlags,
              CONTEXT_CONTROL | CONTEXT_INTEGER | CONTEXT_SEGMENTS | CONTEXT_FLOATING_POINT);

    // Without saved floating-point state the context says so.
    fault.uc.uc_mcontext.fpregs = nullptr;
    fault.uc.uc_flags = 0;
    pal::ContextFromSignal(fault.uc, record, &context);
    EXPECT_EQ(context.ContextFlags & CONTEXT_FLOATING_POINT & ~CONTEXT_AMD64, 0u);
    EXPECT_EQ(context.SegSs, 0) << "the saved ss is not valid";
}

// Resuming writes back only the groups the context names.
TEST(Context, ResumeWritesBackTheNamedGroups) {
    struct Case {
        DWORD flags;
        bool integer, control, floating;
    };
    const Case cases[] = {
        {CONTEXT_INTEGER, true, false, false},
        {CONTEXT_CONTROL, false, true, false},
        {CONTEXT_FLOATING_POINT, false, false, true},
        {CONTEXT_FULL, true, true, true},
    };
    for (const Case& c : cases) {
        Fault fault(SIGSEGV, SEGV_MAPERR, kRip);
        _libc_fpstate fp{};
        fp.mxcsr = 0x1F80;
        fp.mxcr_mask = 0xFFFF;
        fault.uc.uc_mcontext.fpregs = &fp;
        EXCEPTION_RECORD record;
        CONTEXT context;
        pal::RecordFromSignal(fault.info, fault.uc, &record);
        pal::ContextFromSignal(fault.uc, record, &context);
        context.ContextFlags = c.flags;
        context.Rax = 42;
        context.R15 = 43;
        context.Rip = kRip + 2;
        context.Rsp = 0x7000;
        context.MxCsr = 0x1F80 | 0x8000;  // flush to zero
        pal::ContextToSignal(context, &fault.uc);
        const greg_t* g = fault.uc.uc_mcontext.gregs;
        EXPECT_EQ(g[REG_RAX] == 42 && g[REG_R15] == 43, c.integer) << c.flags;
        EXPECT_EQ(g[REG_RIP] == static_cast<greg_t>(kRip + 2) && g[REG_RSP] == 0x7000, c.control)
            << c.flags;
        EXPECT_EQ(fp.mxcsr == (0x1F80u | 0x8000u), c.floating) << c.flags;
    }
}

struct Offset {
    const char* name;
    size_t actual;
    size_t expected;
};

// The documented x86-64 layout, which a crash dump stores as it lies.
TEST(Context, KeepsTheMachineLayout) {
    const Offset offsets[] = {
        {"ContextFlags", offsetof(CONTEXT, ContextFlags), 0x30},
        {"MxCsr", offsetof(CONTEXT, MxCsr), 0x34},
        {"SegCs", offsetof(CONTEXT, SegCs), 0x38},
        {"SegSs", offsetof(CONTEXT, SegSs), 0x42},
        {"EFlags", offsetof(CONTEXT, EFlags), 0x44},
        {"Dr0", offsetof(CONTEXT, Dr0), 0x48},
        {"Dr7", offsetof(CONTEXT, Dr7), 0x70},
        {"Rax", offsetof(CONTEXT, Rax), 0x78},
        {"Rsp", offsetof(CONTEXT, Rsp), 0x98},
        {"Rbp", offsetof(CONTEXT, Rbp), 0xA0},
        {"R8", offsetof(CONTEXT, R8), 0xB8},
        {"R15", offsetof(CONTEXT, R15), 0xF0},
        {"Rip", offsetof(CONTEXT, Rip), 0xF8},
        {"FltSave", offsetof(CONTEXT, FltSave), 0x100},
        {"Xmm0", offsetof(CONTEXT, Xmm0), 0x1A0},
        {"Xmm15", offsetof(CONTEXT, Xmm15), 0x290},
        {"VectorRegister", offsetof(CONTEXT, VectorRegister), 0x300},
        {"VectorControl", offsetof(CONTEXT, VectorControl), 0x4A0},
        {"LastExceptionFromRip", offsetof(CONTEXT, LastExceptionFromRip), 0x4C8},
        {"sizeof", sizeof(CONTEXT), 0x4D0},
        {"FltSave.MxCsr", offsetof(XMM_SAVE_AREA32, MxCsr), 0x18},
        {"FltSave.FloatRegisters", offsetof(XMM_SAVE_AREA32, FloatRegisters), 0x20},
        {"FltSave.XmmRegisters", offsetof(XMM_SAVE_AREA32, XmmRegisters), 0xA0},
        {"sizeof FltSave", sizeof(XMM_SAVE_AREA32), 0x200},
        {"Record.ExceptionAddress", offsetof(EXCEPTION_RECORD, ExceptionAddress), 0x10},
        {"Record.NumberParameters", offsetof(EXCEPTION_RECORD, NumberParameters), 0x18},
        {"Record.ExceptionInformation", offsetof(EXCEPTION_RECORD, ExceptionInformation), 0x20},
        {"sizeof Record", sizeof(EXCEPTION_RECORD), 0x98},
    };
    for (const Offset& o : offsets) {
        EXPECT_EQ(o.actual, o.expected) << o.name;
    }
}

}  // namespace
