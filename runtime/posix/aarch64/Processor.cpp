#include "runtime/posix/Processor.h"

namespace {

constexpr int kFrameRegister = 29;
constexpr int kLinkRegister = 30;

bool RecordInside(void* const* record, StackBounds stack) {
  const auto at = reinterpret_cast<uintptr_t>(record);
  return at % alignof(void*) == 0 && at >= stack.low && at + 2 * sizeof(void*) <= stack.high;
}

}  // namespace

InterruptedState StateOf(const mcontext_t& machine, StackBounds stack) {
  InterruptedState state;
  state.pc = machine.pc;
  state.stackPointer = machine.sp;
  state.frame = reinterpret_cast<void* const*>(machine.regs[kFrameRegister]);
  // A call leaves its return point in the link register. Once the routine has
  // saved it in its frame record, the newest record holds the same value.
  const uintptr_t link = machine.regs[kLinkRegister];
  const bool saved =
      RecordInside(state.frame, stack) && reinterpret_cast<uintptr_t>(state.frame[1]) == link;
  state.looseReturnPoint = saved ? 0 : link;
  return state;
}

bool FollowsDirectCall(uintptr_t returnPoint, uintptr_t& target) {
  // bl: branch with link, to a word offset of 26 bits, signed.
  constexpr uint32_t kOpcodeMask = 0xFC000000;
  constexpr uint32_t kBranchWithLink = 0x94000000;
  constexpr int kInstructionLength = 4;
  const auto* call = reinterpret_cast<const uint32_t*>(returnPoint - kInstructionLength);
  if (returnPoint % kInstructionLength != 0 || !InProgramImage(call)) return false;
  const uint32_t instruction = *call;
  if ((instruction & kOpcodeMask) != kBranchWithLink) return false;
  const int32_t words = static_cast<int32_t>(instruction << 6) >> 6;
  target = reinterpret_cast<uintptr_t>(call) + static_cast<uintptr_t>(intptr_t{words} * 4);
  return true;
}
