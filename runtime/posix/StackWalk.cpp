#include "runtime/posix/StackWalk.h"

namespace {

// Whether both words of a frame can be read: aligned and inside the stack.
bool FrameInside(void* const* frame, StackBounds stack) {
  const auto at = reinterpret_cast<uintptr_t>(frame);
  return at % alignof(void*) == 0 && at >= stack.low && at <= stack.high &&
         stack.high - at >= 2 * sizeof(void*);
}

}  // namespace

int WalkCallers(void* const* frame, StackBounds stack, WalkEnd end,
                const void* (&returnPoints)[kMaxCallerLines], bool& endsInStartup) {
  int count = 0;
  endsInStartup = false;
  void* const* current = frame;
  if (!FrameInside(current, stack)) return 0;
  while (true) {
    void* const* caller = static_cast<void* const*>(current[0]);
    const void* returnPoint = current[1];
    if (returnPoint == nullptr) break;
    returnPoints[count++] = returnPoint;
    endsInStartup = current == end.outermost || !end.inProgram(returnPoint);
    if (endsInStartup || caller == nullptr || count == kMaxCallerLines) break;
    if (caller <= current || !FrameInside(caller, stack)) break;
    current = caller;
  }
  return count;
}
