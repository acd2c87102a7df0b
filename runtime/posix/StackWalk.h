// The caller walk of the fatal-error report by libunwind, over the program's
// unwind tables: from the routine a cursor holds out through its callers.
// Every caller's frame must lie nearer the stack's base than the one before,
// and on the stack, so that a broken chain ends the walk.
#pragma once

#include <libunwind.h>

#include <cstdint>

#include "runtime/CallerWalk.h"

/// The frame of the routine `level` calls up from the one that calls this (0:
/// that routine itself), as WalkCallers takes frames; 0 when it is not found.
[[gnu::noinline]] uintptr_t FrameOf(int level);

/// Steps `cursor` out of the routines it holds until it holds the one that
/// `returnPoint` returns into; false when none does within 32 steps.
bool StepToReturnPoint(unw_cursor_t& cursor, const void* returnPoint);

/// Fills `returnPoints` with the return points of the walk out of the routine
/// `cursor` holds, the nearest caller first, and returns their count. The
/// walk stops after 9 lines, at a routine the unwinder cannot leave, and after
/// a caller frame that is not nearer the stack's base or lies at or past it,
/// `stackBase` (one past the stack's highest address); it ends in the start-up
/// code after the return point out of the frame `outermost` (the main
/// routine's), and `endsInStartup` tells so. A frame is the stack pointer of
/// the routine's caller at the call.
int WalkCallers(unw_cursor_t& cursor, uintptr_t stackBase, uintptr_t outermost,
                const void* (&returnPoints)[kMaxCallerLines], bool& endsInStartup);
