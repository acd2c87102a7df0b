// The caller walk of the fatal-error report over the frame-pointer chain: each
// frame holds the caller's frame in its first word and the return point into
// the caller in its second. Every frame is checked against the stack's bounds
// before it is read, so a broken chain ends the walk instead of faulting.
#pragma once

#include "runtime/CallerWalk.h"
#include "runtime/ProgramImage.h"

/// Fills `returnPoints` with the return points of the walk from `frame`, the
/// nearest caller first, and returns their count. The walk stops at a missing
/// return point or caller frame, after 9 lines, after a return point for which
/// `inProgram` is false (start-up code keeps no frame chain), and at a caller
/// frame that is not strictly nearer the stack's base or lies outside `stack`.
int WalkCallers(void* const* frame, StackBounds stack, bool (*inProgram)(const void*),
                const void* (&returnPoints)[kMaxCallerLines]);
