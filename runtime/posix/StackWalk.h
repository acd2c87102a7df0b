// The caller walk of the fatal-error report over the frame-pointer chain: each
// frame holds the caller's frame in its first word and the return point into
// the caller in its second. Every frame is checked against the stack's bounds
// before it is read, so a broken chain ends the walk instead of faulting.
#pragma once

#include "runtime/CallerWalk.h"
#include "runtime/ProgramImage.h"

/// Where the walk ends besides a broken chain: after the return point out of
/// `outermost` (the main routine's frame) into the start-up code, and after a
/// return point outside the program (start-up code in a shared library).
struct WalkEnd {
  void* const* outermost = nullptr;
  bool (*inProgram)(const void*) = nullptr;
};

/// Fills `returnPoints` with the return points of the walk from `frame`, the
/// nearest caller first, and returns their count. The walk stops at a missing
/// return point or caller frame, after 9 lines, where `end` says, and at a
/// caller frame that is not strictly nearer the stack's base or lies outside
/// `stack`. `endsInStartup` tells whether it stopped where `end` says.
int WalkCallers(void* const* frame, StackBounds stack, WalkEnd end,
                const void* (&returnPoints)[kMaxCallerLines], bool& endsInStartup);
