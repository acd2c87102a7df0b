#include "runtime/posix/Processor.h"

#include <cstring>

#include "runtime/ProgramImage.h"

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
