#include "runtime/posix/StackWalk.h"

namespace {

// A failed check is found this many routines deep at most from the report.
constexpr int kMaxStepsToCheck = 32;

}  // namespace

uintptr_t FrameOf(int level) {
  unw_context_t context;
  unw_cursor_t cursor;
  unw_getcontext(&context);
  if (unw_init_local(&cursor, &context) != 0) return 0;
  // Out of this routine, the routines up to the one asked for, and that one.
  for (int step = 0; step < level + 2; ++step)
    if (unw_step(&cursor) <= 0) return 0;
  unw_word_t frame = 0;
  return unw_get_reg(&cursor, UNW_REG_SP, &frame) == 0 ? frame : 0;
}

bool StepToReturnPoint(unw_cursor_t& cursor, const void* returnPoint) {
  for (int step = 0; step < kMaxStepsToCheck; ++step) {
    unw_word_t pc = 0;
    if (unw_step(&cursor) <= 0 || unw_get_reg(&cursor, UNW_REG_IP, &pc) != 0) return false;
    if (pc == reinterpret_cast<uintptr_t>(returnPoint)) return true;
  }
  return false;
}

int WalkCallers(unw_cursor_t& cursor, uintptr_t stackBase, uintptr_t outermost,
                const void* (&returnPoints)[kMaxCallerLines], bool& endsInStartup) {
  endsInStartup = false;
  unw_word_t stackPointer = 0;
  if (unw_get_reg(&cursor, UNW_REG_SP, &stackPointer) != 0) return 0;
  // A routine without a frame of its own may share its caller's stack
  // pointer; from then on every frame lies strictly nearer the base. Frames
  // may lie below the stack's mapped pages: an overflow can fault before the
  // routines have touched the whole of the frames they set aside, as on
  // s390x, where the lowest 160 bytes of a frame are written only by the
  // routines it calls.
  uintptr_t frame = stackPointer;
  int count = 0;
  while (count < kMaxCallerLines) {
    unw_word_t returnPoint = 0;
    unw_word_t callerFrame = 0;
    if (unw_step(&cursor) <= 0 || unw_get_reg(&cursor, UNW_REG_IP, &returnPoint) != 0 ||
        returnPoint == 0 || unw_get_reg(&cursor, UNW_REG_SP, &callerFrame) != 0)
      break;
    returnPoints[count++] = reinterpret_cast<const void*>(returnPoint);
    endsInStartup = callerFrame == outermost;
    const bool nearerBase = count == 1 ? callerFrame >= frame : callerFrame > frame;
    if (endsInStartup || !nearerBase || callerFrame >= stackBase) break;
    frame = callerFrame;
  }
  return count;
}
