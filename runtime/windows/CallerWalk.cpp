#include "runtime/CallerWalk.h"

#include <windows.h>

#include "ErrorContext.h"
#include "runtime/FatalError.h"
#include "runtime/ProgramImage.h"

// The program's main routine, by its symbol: the walk ends in its caller.
extern "C" const char mainRoutine[] asm("main");

namespace {

CONTEXT errorContext;
bool errorContextKept = false;

// A failed check is found this many frames deep at most from the report.
constexpr int kMaxFramesToError = 32;

// Steps `context` out of the routine that holds its Rip, by the routine's
// unwind information; a routine without one (a leaf) has its return point at
// the stack pointer. False when the caller's frame does not lie strictly
// nearer the stack's base than the current one, or outside the stack.
bool Unwind(CONTEXT& context, StackBounds stack) {
  const DWORD64 stackPointer = context.Rsp;
  DWORD64 imageBase = 0;
  RUNTIME_FUNCTION* routine = RtlLookupFunctionEntry(context.Rip, &imageBase, nullptr);
  if (routine != nullptr) {
    void* handlerData = nullptr;
    DWORD64 establisherFrame = 0;
    RtlVirtualUnwind(UNW_FLAG_NHANDLER, imageBase, context.Rip, routine, &context, &handlerData,
                     &establisherFrame, nullptr);
  } else {
    if (stackPointer < stack.low || stackPointer + sizeof(DWORD64) > stack.high) return false;
    context.Rip = *reinterpret_cast<const DWORD64*>(stackPointer);
    context.Rsp = stackPointer + sizeof(DWORD64);
  }
  return context.Rip != 0 && context.Rsp > stackPointer && context.Rsp >= stack.low &&
         context.Rsp < stack.high;
}

// Whether the code at `pc` belongs to the main routine.
bool InMainRoutine(DWORD64 pc) {
  DWORD64 imageBase = 0;
  const RUNTIME_FUNCTION* routine = RtlLookupFunctionEntry(pc, &imageBase, nullptr);
  return routine != nullptr &&
         imageBase + routine->BeginAddress == reinterpret_cast<DWORD64>(mainRoutine);
}

// The state of the routine that holds a failed check: the walk out of the
// report's own routines until the error's return point comes up.
bool ContextAtCheck(CONTEXT& context, StackBounds stack) {
  RtlCaptureContext(&context);
  const auto errorAddress = reinterpret_cast<DWORD64>(ErrorAddr);
  for (int depth = 0; depth < kMaxFramesToError; ++depth) {
    if (!Unwind(context, stack)) return false;
    if (context.Rip == errorAddress) return true;
  }
  return false;
}

}  // namespace

bool StepOut(CONTEXT& context) {
  return Unwind(context, MainStackBounds());
}

void KeepErrorContext(const CONTEXT& context) {
  errorContext = context;
  errorContextKept = true;
}

// The unwind tables tell the main routine by where its code begins.
void NoteMainFrame() {}

// The start-up code is linked into the program's image; the walk ends in the
// routine that called main.
int ErrorCallers(const void* (&returnPoints)[kMaxCallerLines], bool& endsInStartup) {
  endsInStartup = false;
  const StackBounds stack = MainStackBounds();
  CONTEXT context;
  if (errorContextKept)
    context = errorContext;
  else if (!ContextAtCheck(context, stack))
    return 0;
  int count = 0;
  while (count < kMaxCallerLines) {
    const bool inMain = InMainRoutine(context.Rip);
    if (!Unwind(context, stack)) break;
    returnPoints[count++] = reinterpret_cast<const void*>(context.Rip);
    if (inMain) {
      endsInStartup = true;
      break;
    }
  }
  return count;
}
