#include "runtime/CallerWalk.h"

#include "runtime/DebugInfo.h"
#include "runtime/FatalError.h"
#include "runtime/ProgramImage.h"
#include "runtime/posix/ErrorContext.h"
#include "runtime/posix/Processor.h"
#include "runtime/posix/StackWalk.h"

namespace {

// The state at a fault or a signal, where the walk starts when one is kept.
unw_context_t errorContext;
bool errorContextKept = false;
// The main routine's frame, as the walk takes it: the stack pointer of its
// caller, one step out of it. The start-up code of a static C library lies
// in the program's image, so the image's bounds cannot mark the end.
uintptr_t mainFrame = 0;
// The C library's routines around a system call lie this deep at most.
constexpr int kMaxLibraryRoutines = 8;

// Whether the code at `pc` is the program's own: in its image, and covered by
// its debug information.
bool InOwnCode(uintptr_t pc) {
  CodeLocation location;
  if (InProgramImage(reinterpret_cast<const void*>(pc))) LookUpCode(pc, location);
  return !location.file.empty();
}

// A state interrupted in code the debug information does not cover, the C
// library's (at a wait, in a system call), is walked from the program's own
// code: `cursor` is moved to the routine whose caller that is. Left where it
// is when no caller is covered, as in a program without debug information.
void LeaveLibrary(unw_cursor_t& cursor) {
  unw_word_t pc = 0;
  if (unw_get_reg(&cursor, UNW_REG_IP, &pc) != 0 ||
      InOwnCode(CodeAddress(reinterpret_cast<void*>(pc))))
    return;
  unw_cursor_t probe = cursor;
  for (int routine = 0; routine < kMaxLibraryRoutines; ++routine) {
    const unw_cursor_t callee = probe;
    if (unw_step(&probe) <= 0 || unw_get_reg(&probe, UNW_REG_IP, &pc) != 0) return;
    if (InOwnCode(CodeAddress(reinterpret_cast<void*>(pc)) - 1)) {
      cursor = callee;
      return;
    }
  }
}

}  // namespace

InterruptedState KeepErrorContext(const ucontext_t& interrupted) {
  UnwinderContextOf(interrupted, errorContext);
  errorContextKept = true;
  unw_cursor_t cursor;
  unw_word_t pc = 0;
  unw_word_t stackPointer = 0;
  if (unw_init_local2(&cursor, &errorContext, UNW_INIT_SIGNAL_FRAME) != 0 ||
      unw_get_reg(&cursor, UNW_REG_IP, &pc) != 0 ||
      unw_get_reg(&cursor, UNW_REG_SP, &stackPointer) != 0)
    return {};
  return {pc, stackPointer};
}

// SysInit calls this, and the main routine SysInit.
void NoteMainFrame() {
  mainFrame = FrameOf(2);
}

// After a failed check the walk starts in the routine that holds the check,
// reached out of the report's own routines and the failure routine.
int ErrorCallers(const void* (&returnPoints)[kMaxCallerLines], bool& endsInStartup) {
  endsInStartup = false;
  unw_context_t here;
  unw_cursor_t cursor;
  if (errorContextKept) {
    if (unw_init_local2(&cursor, &errorContext, UNW_INIT_SIGNAL_FRAME) != 0) return 0;
    LeaveLibrary(cursor);
  } else {
    unw_getcontext(&here);
    if (unw_init_local(&cursor, &here) != 0 || !StepToReturnPoint(cursor, ErrorAddr)) return 0;
  }
  return WalkCallers(cursor, MainStackBounds().high, mainFrame, returnPoints, endsInStartup);
}
