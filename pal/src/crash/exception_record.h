// Turning the fault a signal reports into the records an exception filter reads, and a changed
// context record back into the registers the thread resumes with.
#pragma once

#include <signal.h>
#include <ucontext.h>

#include "windows.h"

namespace pal {

// Fills the record from the signal: the exception code, the address of the faulting
// instruction and, for access violations and in-page errors, the kind of access and the data
// address. A breakpoint (int3) is reported at the int3 instruction itself.
void RecordFromSignal(const siginfo_t& info, const ucontext_t& uc, EXCEPTION_RECORD* record);

// Fills the context record from the registers the signal saved. The instruction pointer is
// the record's exception address, so for a breakpoint it points at the int3.
void ContextFromSignal(const ucontext_t& uc, const EXCEPTION_RECORD& record, CONTEXT* context);

// Writes the register groups named by context.ContextFlags back into the saved registers.
void ContextToSignal(const CONTEXT& context, ucontext_t* uc);

}  // namespace pal
