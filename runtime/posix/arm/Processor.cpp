#include "runtime/posix/Processor.h"

#include <cstdlib>
#include <cstring>

#include "runtime/ProgramImage.h"

namespace {

// libunwind tries the DWARF call frame information first on ARM, which it
// reads from the program's .debug_frame, and was seen to step wrong by it (a
// caller left out, a return point of 0); by the ARM exception tables, which
// every routine has, it steps right. It reads its choice from the
// environment when it starts, after the program's constructors.
[[gnu::constructor]] void UnwindByExceptionTables() {
  constexpr const char* kExceptionTablesOnly = "4";
  setenv("UNW_ARM_UNWIND_METHOD", kExceptionTablesOnly, 1);
}

}  // namespace

// The unwinder's context holds the sixteen core registers alone, r0 to pc, in
// the order in which the interrupted state holds them from arm_r0 on.
void UnwinderContextOf(const ucontext_t& interrupted, unw_context_t& context) {
  constexpr int kCoreRegisters = 16;
  static_assert(sizeof context.regs == kCoreRegisters * sizeof interrupted.uc_mcontext.arm_r0);
  std::memcpy(context.regs, &interrupted.uc_mcontext.arm_r0, sizeof context.regs);
}

// A return point into Thumb code carries the Thumb state in its lowest bit.
uintptr_t CodeAddress(const void* address) {
  return reinterpret_cast<uintptr_t>(address) & ~uintptr_t{1};
}
