#include "runtime/posix/Processor.h"

InterruptedState StateOf(const mcontext_t& machine, StackBounds stack) {
  InterruptedState state;
  state.pc = static_cast<uintptr_t>(machine.gregs[REG_RIP]);
  state.stackPointer = static_cast<uintptr_t>(machine.gregs[REG_RSP]);
  state.frame = reinterpret_cast<void* const*>(machine.gregs[REG_RBP]);
  // A call pushes its return point: it is the word at the stack pointer until
  // the routine pushes anything of its own.
  if (state.stackPointer >= stack.low && state.stackPointer + sizeof(uintptr_t) <= stack.high)
    state.looseReturnPoint = *reinterpret_cast<const uintptr_t*>(state.stackPointer);
  return state;
}

bool FollowsDirectCall(uintptr_t returnPoint, uintptr_t& target) {
  constexpr uint8_t kCallRel32 = 0xE8;  // call with a 32-bit displacement
  constexpr int kCallLength = 5;
  const auto* call = reinterpret_cast<const uint8_t*>(returnPoint - kCallLength);
  if (!InProgramImage(call) || call[0] != kCallRel32) return false;
  int32_t displacement;
  __builtin_memcpy(&displacement, call + 1, sizeof displacement);
  target = returnPoint + static_cast<uintptr_t>(static_cast<intptr_t>(displacement));
  return true;
}
