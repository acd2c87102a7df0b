#include "runtime/CallerWalk.h"

#include "runtime/FatalError.h"
#include "runtime/ProgramImage.h"
#include "runtime/posix/StackWalk.h"

// The walk ends in the start-up code that called main: at the return point out
// of main's frame, or at the first return point outside the program's image,
// where the start-up code lies in a shared C library.
int ErrorCallers(const void* (&returnPoints)[kMaxCallerLines], bool& endsInStartup) {
  return WalkCallers(ErrorFrame, MainStackBounds(), {MainFrame, InProgramImage}, returnPoints,
                     endsInStartup);
}
