#include "runtime/CallerWalk.h"

#include "runtime/FatalError.h"
#include "runtime/ProgramImage.h"
#include "runtime/posix/StackWalk.h"

// The start-up code lies in the C library, outside the program's image, and
// the walk ends at the first return point there.
int ErrorCallers(const void* (&returnPoints)[kMaxCallerLines], bool& endsInStartup) {
  const int count = WalkCallers(ErrorFrame, MainStackBounds(), InProgramImage, returnPoints);
  endsInStartup = count > 0 && !InProgramImage(returnPoints[count - 1]);
  return count;
}
